// The real pages under their elastic component: adaptation to the screen through the
// design screen their creation handlers choose, proportional resizing, a drag laid out
// once, visibility kept, and pictures at 1x and 1.5x (saved to QUINDOR_SCREENSHOT_DIR when
// that is set).

#include <QEvent>
#include <QPixmap>
#include <QTest>
#include <QWindow>
#include <array>
#include <cstdlib>
#include <functional>

#include "elastic/elastic_form.h"
#include "elastic/rounding.h"
#include "wizard_fixture.h"

namespace {

using framework::TControl;
using framework::TForm;

void forEachControl(const TControl& parent, const std::function<void(TControl&)>& action) {
    for (TControl* child : parent.childControls()) {
        action(*child);
        forEachControl(*child, action);
    }
}

struct ControlState {
    int left, top, width, height, fontSize;
    bool visible, shown;
};

std::vector<ControlState> controlStates(TForm& page) {
    std::vector<ControlState> states;
    forEachControl(page, [&](TControl& c) {
        states.push_back({c.left(), c.top(), c.width(), c.height(), c.Font().size(), c.visible(),
                          c.widget()->isVisible()});
    });
    return states;
}

void resizeClient(TForm& page, int width, int height) {
    page.setBounds(page.left(), page.top(), width + TForm::kFrameWidth,
                   height + TForm::kFrameHeight);
    testing_support::settle();
}

std::filesystem::path screenshotFolder() {
    const char* folder = std::getenv("QUINDOR_SCREENSHOT_DIR");
    std::filesystem::path target = folder != nullptr ? std::filesystem::path(folder)
                                                     : testing_support::sandboxFolder() / "screens";
    std::filesystem::create_directories(target);
    return target;
}

void saveShot(TForm& page, const std::string& name) {
    const QPixmap shot = page.widget()->grab();
    EXPECT_EQ(shot.size(), QSize(page.clientWidth(), page.clientHeight())) << name;
    const std::filesystem::path file = screenshotFolder() / (name + ".png");
    EXPECT_TRUE(shot.save(QString::fromStdString(file.string()), "PNG")) << file;
}

TEST_F(WizardTest, DoublingTheWelcomePageDoublesEveryControlAndItsFont) {
    TForm& page = *wizard.isForm1;
    wizard.isForm1->ElasticForm1->settings().ElasticFont = true;
    const int width = page.clientWidth();  // as adapted to this screen
    const int height = page.clientHeight();
    const std::vector<ControlState> before = controlStates(page);
    resizeClient(page, 2 * width, 2 * height);
    const std::vector<ControlState> after = controlStates(page);
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t i = 0; i < before.size(); ++i) {
        EXPECT_EQ(after[i].left, 2 * before[i].left) << i;
        EXPECT_EQ(after[i].top, 2 * before[i].top) << i;
        EXPECT_EQ(after[i].width, 2 * before[i].width) << i;
        EXPECT_EQ(after[i].height, 2 * before[i].height) << i;
        EXPECT_EQ(after[i].fontSize, 2 * before[i].fontSize) << i;
    }
    // Back, and there and back again: the same bounds every time.
    for (int round = 0; round < 2; ++round) {
        resizeClient(page, width, height);
        const std::vector<ControlState> back = controlStates(page);
        for (std::size_t i = 0; i < before.size(); ++i) {
            EXPECT_EQ(
                (std::array{back[i].left, back[i].top, back[i].width, back[i].height}),
                (std::array{before[i].left, before[i].top, before[i].width, before[i].height}))
                << i;
        }
        resizeClient(page, 2 * width + 13, 2 * height - 7);
    }
}

// Counts the size changes a control's window hears.
class ResizeCounter : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Resize) ++count;
        return false;
    }
    int count = 0;
};

TEST_F(WizardTest, ABorderDragOnTheWelcomePageIsLaidOutOnceAtItsEnd) {
    TForm& page = *wizard.isForm1;
    TControl& memo = *wizard.isForm1->Memo1;
    ResizeCounter counter;
    memo.widget()->installEventFilter(&counter);
    const int memoWidth = memo.width(), memoHeight = memo.height();
    const int clientWidth = page.clientWidth(), clientHeight = page.clientHeight();
    QWindow* window = page.widget()->windowHandle();
    for (int step = 1; step <= 6; ++step) {
        window->setGeometry(QRect(window->x(), window->y(), 365 + 30 * step, 334 + 20 * step));
        testing_support::settle();
        EXPECT_EQ(memo.width(), memoWidth) << "step " << step;
    }
    QTest::qWait(elastic::TElasticForm::kDragSettleMs + 150);
    testing_support::settle();
    EXPECT_EQ(counter.count, 1);
    EXPECT_EQ(memo.width(), elastic::RoundEven(memoWidth * 545.0 / clientWidth));
    EXPECT_EQ(memo.height(), elastic::RoundEven(memoHeight * 454.0 / clientHeight));
}

TEST_F(WizardTest, VisibleOfEveryControlIsTheSameAfterARescale) {
    for (TForm* page : allPages()) {
        page->Show();
        testing_support::settle();
        const std::vector<ControlState> before = controlStates(*page);
        resizeClient(*page, page->clientWidth() + 91, page->clientHeight() + 57);
        const std::vector<ControlState> after = controlStates(*page);
        ASSERT_EQ(after.size(), before.size()) << page->name();
        for (std::size_t i = 0; i < before.size(); ++i) {
            EXPECT_EQ(after[i].visible, before[i].visible) << page->name() << " " << i;
            EXPECT_EQ(after[i].shown, before[i].shown) << page->name() << " " << i;
        }
        page->Hide();
    }
}

// Pages on screens of other sizes, created anew after the screen is set.
struct ScreenCase {
    int width;
    int height;
    int pageWidth;
    int pageHeight;
    int fontSize;
    int left;  // where the page lands at its first show: centred at its scaled size
    int top;
};

class ScreenAdaptationTest : public ::testing::TestWithParam<ScreenCase> {
protected:
    void TearDown() override { framework::Application::instance().setScreenSizeOverride({}); }
};

TEST_P(ScreenAdaptationTest, WelcomePageTakesTheDesignScreenOfItsCreationHandlerAndOpensCentred) {
    const ScreenCase c = GetParam();
    framework::Application::instance().setScreenSizeOverride({c.width, c.height});
    setup::Wizard wizard;
    wizard.createPages();
    wizard.isForm1->Show();
    testing_support::settle();
    EXPECT_EQ(wizard.isForm1->width(), c.pageWidth);
    EXPECT_EQ(wizard.isForm1->height(), c.pageHeight);
    EXPECT_EQ(wizard.isForm1->Font().size(), c.fontSize);
    EXPECT_EQ(wizard.isForm1->widget()->frameGeometry().topLeft(), QPoint(c.left, c.top));
    wizard.isForm1->Hide();
    wizard.isForm1->Show();  // and there again when shown once more
    testing_support::settle();
    EXPECT_EQ(wizard.isForm1->widget()->frameGeometry().topLeft(), QPoint(c.left, c.top));
    if (c.width == 1536) saveShot(*wizard.isForm1, "elastic-welcome-1.5x-screen");
    if (c.width == 800) {
        saveShot(*wizard.isForm1, "elastic-welcome-1x");
        resizeClient(*wizard.isForm1, 365 * 3 / 2, 334 * 3 / 2);
        EXPECT_EQ(wizard.isForm1->Button3->left(), 408);  // 272 x 547 / 365 = 407.6
        saveShot(*wizard.isForm1, "elastic-welcome-1.5x-resized");
    }
    wizard.isForm1->Hide();
}

INSTANTIATE_TEST_SUITE_P(
    Screens, ScreenAdaptationTest,
    ::testing::Values(ScreenCase{640, 480, 373, 361, 8, 133, 59},   // design 640 x 480: as designed
                      ScreenCase{800, 600, 373, 361, 8, 213, 119},  // design 800 x 600: as designed
                      ScreenCase{720, 540, 336, 325, 7, 192, 107},  // between: slightly smaller
                      ScreenCase{1024, 768, 373, 361, 8, 325,
                                 203},  // design 1024 x 768: as designed
                      ScreenCase{1280, 1024, 466, 481, 10, 407, 271},  // 1.25 x 1.333
                      ScreenCase{1536, 1152, 560, 542, 12, 488, 305},
                      ScreenCase{1920, 1080, 699, 508, 13, 610, 286},       // 1.875 x 1.40625
                      ScreenCase{3840, 2160, 1399, 1015, 26, 1220, 572}));  // 3.75 x 2.8125

}  // namespace

namespace {

TEST_F(WizardTest, AlignedPanelsOfTheFolderChooserFillThePageAfterARescale) {
    setup::TiForm10& chooser = *wizard.iForm10;
    chooser.Show();
    testing_support::settle();
    for (const auto& [width, height] :
         {std::pair{500, 401}, std::pair{371, 337}, std::pair{733, 655}}) {
        resizeClient(chooser, width, height);
        EXPECT_EQ(chooser.Panel4->width(), width);
        EXPECT_EQ(chooser.Panel4->height(), elastic::RoundEven(41.0 * height / 328));
        EXPECT_EQ(chooser.Panel1->top(), chooser.Panel4->height());
        EXPECT_EQ(chooser.Panel1->top() + chooser.Panel1->height(), height);
        EXPECT_EQ(chooser.Panel1->width(), width);
        EXPECT_EQ(chooser.Button2->left(), elastic::RoundEven(272.0 * width / 357));
    }
    chooser.Hide();
}

}  // namespace
