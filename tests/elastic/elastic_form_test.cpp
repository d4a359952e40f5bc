// The elastic-form component on a page: its creation checks, published properties, and
// what it does with the page's messages (adaptation after the creation handler, a program
// resize at once, a drag burst once at its end, limits, background, persistence, and the
// designer-only behaviour).

#include <gtest/gtest.h>

#include <QBuffer>
#include <QEvent>
#include <QImage>
#include <QPixmap>
#include <QTest>
#include <QWidget>
#include <QWindow>
#include <fstream>
#include <functional>

#include "elastic/elastic_form.h"
#include "elastic/elastic_persistence.h"
#include "elastic/form_scaler.h"
#include "elastic/rounding.h"
#include "framework/application.h"
#include "framework/buttons.h"
#include "framework/picture.h"
#include "framework/standard_classes.h"
#include "framework/text_controls.h"
#include "gui_test_environment.h"

namespace {

using elastic::TElasticForm;
using framework::TForm;

class TTestPage : public TForm {
public:
    TTestPage() { publish("FormCreate", &TTestPage::FormCreate); }
    static const framework::ClassInfo& staticClassInfo() {
        static const framework::ClassInfo info("TTestPage", &TForm::staticClassInfo(), {});
        return info;
    }
    const framework::ClassInfo& classInfo() const override { return staticClassInfo(); }
    void FormCreate(framework::Component*) {
        if (onCreate) onCreate(*this);
    }
    std::function<void(TTestPage&)> onCreate;
};

std::string pageDefinition(const std::string& componentExtra = "",
                           const std::string& controlsExtra = "") {
    return "object Page: TTestPage\n"
           "  Left = 100\n  Top = 80\n  ClientWidth = 365\n  ClientHeight = 334\n"
           "  Font.Name = 'Tahoma'\n  Font.Height = -11\n  Font.Style = []\n"
           "  Position = poScreenCenter\n  OnCreate = FormCreate\n"
           "  object Button1: TButton\n    Left = 8\n    Top = 296\n    Width = 75\n    Height = "
           "25\n"
           "    Caption = 'Cancel'\n  end\n"
           "  object Label1: TLabel\n    Left = 8\n    Top = 8\n    Width = 100\n    Height = 13\n"
           "    AutoSize = False\n    Caption = 'Hidden'\n    Visible = False\n  end\n" +
           controlsExtra +
           "  object ElasticForm1: TElasticForm\n    ElasticFont = False\n"
           "    DesignScreenWidth = 800\n    DesignScreenHeight = 600\n    DesignPixelsPerInch = "
           "96\n"
           "    DesignFormWidth = 373\n    DesignFormHeight = 361\n    DesignFormClientWidth = "
           "365\n"
           "    DesignFormClientHeight = 334\n    DesignFormLeft = 100\n    DesignFormTop = 80\n"
           "    Font.Name = 'Tahoma'\n    Font.Height = -11\n    Font.Style = []\n" +
           componentExtra + "    ElFrmIniFile = ''\n    Version = 3.05\n  end\nend\n";
}

class ElasticFormTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        framework::registerStandardClasses();
        TElasticForm::staticClassInfo();
    }
    void SetUp() override {
        app().setMessages(&messages);
        app().setScreenSizeOverride({800, 600});
    }
    void TearDown() override {
        page.reset();
        app().setMessages(nullptr);
        app().setScreenSizeOverride({});
    }
    static framework::Application& app() { return framework::Application::instance(); }

    void create(const std::string& definition, std::function<void(TTestPage&)> onCreate = {}) {
        page.reset(new TTestPage);
        page->onCreate = std::move(onCreate);
        page->createFromDefinition(definition);
    }
    void show() {
        page->Show();
        testing_support::settle();
    }
    TElasticForm& elastic() {
        return *dynamic_cast<TElasticForm*>(page->findComponent("ElasticForm1"));
    }
    framework::TControl& control(const char* name) {
        return *dynamic_cast<framework::TControl*>(page->findComponent(name));
    }
    // The window manager gives the page's window a new client size, as a drag of its border.
    void dragTo(int clientWidth, int clientHeight) {
        const QRect g = page->widget()->windowHandle()->geometry();
        page->widget()->windowHandle()->setGeometry(QRect(g.x(), g.y(), clientWidth, clientHeight));
        testing_support::settle();
    }

    testing_support::ScriptedMessageBoxes messages;
    framework::FormPtr<TTestPage> page;
};

TEST_F(ElasticFormTest, OwnerMustBeAForm) {
    framework::Component plain(nullptr);
    for (framework::Component* owner : {static_cast<framework::Component*>(nullptr), &plain}) {
        try {
            TElasticForm wrong(owner);
            FAIL() << "created";
        } catch (const elastic::EElasticForm& e) {
            EXPECT_STREQ(e.what(), "Owner of TElasticForm component must be a form");
        }
    }
    EXPECT_EQ(plain.componentCount(), 0);
}

TEST_F(ElasticFormTest, SecondComponentEndsTheReadingOfThePage) {
    const std::string second = "  object ElasticForm2: TElasticForm\n  end\n";
    try {
        create(pageDefinition("", second));
        FAIL() << "read";
    } catch (const elastic::EElasticForm& e) {
        EXPECT_STREQ(e.what(), "A TElasticForm component already exists in Page");
    }
}

// A property's value as the page definition writes it.
std::string written(const framework::PropertyValue& value) {
    if (const auto* i = std::get_if<std::int64_t>(&value)) return std::to_string(*i);
    if (const auto* d = std::get_if<double>(&value)) return std::to_string(*d);
    if (const auto* s = std::get_if<std::string>(&value)) return "'" + *s + "'";
    if (const auto* id = std::get_if<framework::Identifier>(&value)) return id->name;
    return "?";
}

TEST_F(ElasticFormTest, PublishedPropertiesAndTheirDefaults) {
    TTestPage bare;
    TElasticForm component(&bare);
    const std::vector<std::pair<const char*, std::string>> defaults{
        {"ElasticHorizontal", "True"}, {"ElasticVertical", "True"},
        {"ElasticFont", "True"},       {"MaximizedPosX", "0"},
        {"MaximizedPosY", "0"},        {"MinimumTrackWidth", "0"},
        {"MinimumTrackHeight", "0"},   {"MaximumTrackWidth", "0"},
        {"MaximumTrackHeight", "0"},   {"MaintainProportions", "False"},
        {"BkGrndImage", "''"},         {"DBGridSelfResize", "False"},
        {"ElFrmIniFile", "''"},        {"Version", "3.050000"},
    };
    for (const auto& [name, value] : defaults)
        EXPECT_EQ(written(component.property(name)), value) << name;
    component.setProperty("Version", 4.0);
    EXPECT_EQ(written(component.property("Version")), "3.050000");
}

TEST_F(ElasticFormTest, EveryPropertyReadsBackFromADefinition) {
    create(pageDefinition(
        "    MaximizedPosX = -10\n    MaximizedPosY = 5\n    MinimumTrackWidth = -50\n"
        "    MinimumTrackHeight = 200\n    MaximumTrackWidth = 700\n    MaximumTrackHeight = -90\n"
        "    MaintainProportions = True\n    BkGrndImage = 'Image1'\n    DBGridSelfResize = True\n",
        "  object Image1: TImage\n    Width = 10\n    Height = 10\n  end\n"));
    TElasticForm& e = elastic();
    EXPECT_EQ(e.settings().MaximizedPosX, -10);
    EXPECT_EQ(e.settings().MaximizedPosY, 5);
    EXPECT_EQ(e.settings().MinimumTrackWidth, -50);
    EXPECT_EQ(e.settings().MinimumTrackHeight, 200);
    EXPECT_EQ(e.settings().MaximumTrackWidth, 700);
    EXPECT_EQ(e.settings().MaximumTrackHeight, -90);
    EXPECT_TRUE(e.settings().MaintainProportions);
    EXPECT_TRUE(e.settings().DBGridSelfResize);
    EXPECT_EQ(e.BkGrndImage(), "Image1");
    EXPECT_FALSE(control("Image1").visible());  // only its picture is used
}

TEST_F(ElasticFormTest, AdaptationUsesWhatTheCreationHandlerSet) {
    create(pageDefinition(), [](TTestPage& p) {
        auto* e = dynamic_cast<TElasticForm*>(p.findComponent("ElasticForm1"));
        e->settings().DesignScreenWidth = 400;
        e->settings().DesignScreenHeight = 300;
    });
    show();
    EXPECT_EQ(page->width(), 746);
    EXPECT_EQ(page->height(), 722);
    EXPECT_EQ(control("Button1").left(), 16);
    EXPECT_EQ(control("Button1").width(), 150);
}

TEST_F(ElasticFormTest, ProgramResizeIsLaidOutAtOnceAndVisibleStays) {
    create(pageDefinition());
    show();
    page->setBounds(page->left(), page->top(), 2 * 365 + 8, 2 * 334 + 27);
    testing_support::settle();
    EXPECT_EQ(control("Button1").left(), 16);
    EXPECT_EQ(control("Button1").top(), 592);
    EXPECT_EQ(control("Button1").width(), 150);
    EXPECT_TRUE(control("Button1").widget()->isVisible());
    EXPECT_FALSE(control("Label1").visible());
    EXPECT_FALSE(control("Label1").widget()->isVisible());
    EXPECT_EQ(control("Label1").width(), 200);
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

TEST_F(ElasticFormTest, DragBurstIsLaidOutOnceAtItsEnd) {
    create(pageDefinition());
    show();
    ResizeCounter counter;
    control("Button1").widget()->installEventFilter(&counter);
    for (int step = 1; step <= 5; ++step) {
        dragTo(365 + 40 * step, 334 + 40 * step);
        EXPECT_EQ(control("Button1").width(), 75) << "moved during the drag, step " << step;
    }
    QTest::qWait(TElasticForm::kDragSettleMs + 150);
    testing_support::settle();
    EXPECT_EQ(counter.count, 1);
    EXPECT_EQ(control("Button1").width(), elastic::RoundEven(75.0 * 565 / 365));
    EXPECT_TRUE(control("Button1").widget()->isVisible());
}

TEST_F(ElasticFormTest, MaintainedProportionsCorrectTheDraggedSize) {
    create(pageDefinition("    MaintainProportions = True\n"));
    show();
    dragTo(365 + 100, 334 + 20);  // mostly wider: the height follows
    QTest::qWait(TElasticForm::kDragSettleMs + 150);
    testing_support::settle();
    EXPECT_EQ(page->width(), 473);
    EXPECT_EQ(page->height(), elastic::RoundEven(473.0 * 361 / 373));
}

TEST_F(ElasticFormTest, MaximizingAndRestoringAreLaidOutAtOnce) {
    create(pageDefinition());
    show();
    const int designedWidth = control("Button1").width();
    QWindow* window = page->widget()->windowHandle();
    window->showMaximized();  // by the window manager, as the title bar's button does
    QTest::qWait(200);
    EXPECT_TRUE(TElasticForm::sharedMaximized());
    EXPECT_GT(control("Button1").width(), designedWidth);
    window->showNormal();  // the offscreen platform keeps the size: only the kind changes
    QTest::qWait(TElasticForm::kDragSettleMs - 20);
    EXPECT_FALSE(TElasticForm::sharedMaximized());
    EXPECT_FALSE(elastic().scaler().dragInProgress()) << "a restore is no drag";
    EXPECT_EQ(control("Button1").width(), elastic::RoundEven(75.0 * page->clientWidth() / 365));
}

TEST_F(ElasticFormTest, SmallestSizeFollowsThePercentageRule) {
    app().setScreenSizeOverride({1024, 768});
    create(pageDefinition("    MinimumTrackWidth = -50\n    MinimumTrackHeight = 300\n"));
    show();
    EXPECT_EQ(page->widget()->minimumWidth(), 512 - TForm::kFrameWidth);
    EXPECT_EQ(page->widget()->minimumHeight(), 300 - TForm::kFrameHeight);
}

TEST_F(ElasticFormTest, PersistenceFileKeepsThePlacementBetweenRuns) {
    const std::string file = (testing_support::testFolder("elastic") / "page.elf").string();
    const std::string withFile = "    ElFrmIniFile = '" + file + "'\n";
    std::string definition = pageDefinition();
    definition.replace(definition.find("    ElFrmIniFile = ''\n"), 22, withFile);
    create(definition);
    show();
    page->setBounds(page->left(), page->top(), 500, 400);
    testing_support::settle();
    const auto saved = elastic::loadPersistedState(file, 2, {800, 600, 96}, {373, 361});
    ASSERT_TRUE(saved);
    ASSERT_TRUE(saved->placement);
    EXPECT_DOUBLE_EQ(saved->placement->width, 500.0 / 800);
    EXPECT_EQ(saved->visible, (std::vector<bool>{true, false}));
    create(definition);
    show();
    EXPECT_EQ(page->width(), 500);
    EXPECT_EQ(page->height(), 400);
}

// A 4 x 4 red picture whose last column is blue.
framework::Bytes markedPicture() {
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::red);
    for (int y = 0; y < 4; ++y) image.setPixel(3, y, qRgb(0, 0, 255));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return framework::Bytes(bytes.begin(), bytes.end());
}

TEST_F(ElasticFormTest, BackgroundPictureIsTiledWithOnePixelOverlap) {
    create(pageDefinition("    BkGrndImage = 'Image1'\n",
                          "  object Image1: TImage\n    Width = 4\n    Height = 4\n  end\n"));
    dynamic_cast<framework::TImage&>(control("Image1")).Picture().setData(markedPicture());
    show();
    const QImage shot = page->widget()->grab(QRect(0, 0, 12, 4)).toImage();
    // Tiles at 0, 3, 6, 9: each one's blue column is painted over by the next tile's red.
    EXPECT_EQ(shot.pixel(3, 1), qRgb(255, 0, 0));
    EXPECT_EQ(shot.pixel(6, 1), qRgb(255, 0, 0));
    EXPECT_EQ(shot.pixel(2, 1), qRgb(255, 0, 0));
    const QImage whole = page->widget()->grab().toImage();
    const QRgb corner = whole.pixel(whole.width() - 1, whole.height() - 1);
    EXPECT_TRUE(corner == qRgb(255, 0, 0) || corner == qRgb(0, 0, 255)) << "no tile in the corner";
}

TEST_F(ElasticFormTest, BackgroundPictureAlignedToTheClientIsStretched) {
    create(pageDefinition(
        "    BkGrndImage = 'Image1'\n",
        "  object Image1: TImage\n    Width = 4\n    Height = 4\n    Align = alClient\n  end\n"));
    dynamic_cast<framework::TImage&>(control("Image1")).Picture().setData(markedPicture());
    show();
    const QImage whole = page->widget()->grab().toImage();
    // Stretched over the page's outer width: the blue quarter starts at 3/4 of it.
    EXPECT_EQ(whole.pixel(page->width() * 3 / 4 + 4, 10), qRgb(0, 0, 255));
    EXPECT_EQ(whole.pixel(page->width() * 3 / 4 - 4, 10), qRgb(255, 0, 0));
}

TEST_F(ElasticFormTest, DesignerRecordsTheFormAndHooksNothing) {
    TTestPage designed;
    designed.setBounds(10, 20, 300, 200);
    designed.setState(framework::csDesigning, true);
    auto* button = new framework::TButton(&designed);
    button->setParentControl(&designed);
    button->setBounds(8, 8, 75, 25);
    TElasticForm designing(&designed);
    EXPECT_EQ(designing.settings().DesignFormWidth, 300);
    EXPECT_EQ(designing.settings().DesignFormClientHeight, 200 - TForm::kFrameHeight);
    EXPECT_EQ(designing.settings().DesignFormLeft, 10);
    EXPECT_EQ(designing.settings().DesignScreenWidth, 800);
    EXPECT_FALSE(designed.scaled());
    EXPECT_TRUE(messages.shown.empty());  // Tahoma, or its stand-in, is TrueType
    // No hook: the designer's page is resized without its controls following.
    designed.Show();
    testing_support::settle();
    designed.setBounds(10, 20, 600, 400);
    testing_support::settle();
    EXPECT_EQ(button->width(), 75);
    designed.Hide();
}

TEST_F(ElasticFormTest, ProgramHasNoDesignerTimer) {
    create(pageDefinition());
    show();
    page->setBounds(page->left(), page->top(), 600, 400);
    QTest::qWait(1100);
    // A designer's timer would have taken the new size as the design size.
    EXPECT_EQ(elastic().settings().DesignFormWidth, 373);
}

}  // namespace
