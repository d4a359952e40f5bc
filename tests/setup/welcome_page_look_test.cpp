// The welcome page as a new user sees it, in the page face: Tahoma as installed on the
// machine, or else read from the distribution's QUINDOR.ZIP. The memo shows no scroll bar,
// each of its 17 lines stands on one row of its own and the last one is not cut off. A
// picture is saved to QUINDOR_SCREENSHOT_DIR when set (welcome-installed-tahoma.png or
// welcome-tahoma-from-archive.png).

#include <QFontInfo>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>
#include <cstdlib>

#include "engine/linux_machine.h"
#include "engine/page_fonts.h"
#include "platform/fonts.h"
#include "test_distribution.h"
#include "wizard_fixture.h"

namespace {

bool tahomaInstalled() {
    const auto families = platform::installedFontFamilies();
    return std::find(families.begin(), families.end(), "Tahoma") != families.end();
}

class WelcomePageLookTest : public WizardTest {
protected:
    // Loads the faces as the program does at start, before the pages exist.
    static void SetUpTestSuite() {
        s_installed = tahomaInstalled();
        const std::string dist = testing_support::makeDistribution(
            testing_support::sandboxFolder() / "welcome-look" / "dist");
        engine::LinuxMachine machine;
        const std::vector<std::string> faces = engine::pageFacesToLoad(machine, dist);
        EXPECT_EQ(faces.size(), s_installed ? 0U : 2U);
        framework::Application::instance().addFaces(faces);
    }
    QPlainTextEdit* memo() const {
        return static_cast<QPlainTextEdit*>(wizard.isForm1->Memo1->widget());
    }
    static bool s_installed;
};

bool WelcomePageLookTest::s_installed = false;

}  // namespace

TEST_F(WelcomePageLookTest, TheMemoUsesTahomaAndWrapsItsLinesAsListed) {
    EXPECT_EQ(QFontInfo(memo()->font()).family(), "Tahoma");
    if (!s_installed) {
        const auto& families = app().startupFamilies();
        EXPECT_NE(std::find(families.begin(), families.end(), "Tahoma"), families.end());
    }
    EXPECT_FALSE(memo()->verticalScrollBar()->isVisible());
    EXPECT_FALSE(memo()->horizontalScrollBar()->isVisible());
    ASSERT_EQ(memo()->document()->blockCount(), 17);
    int bottom = 0;
    for (QTextBlock block = memo()->document()->begin(); block.isValid(); block = block.next()) {
        EXPECT_EQ(block.layout()->lineCount(), 1) << block.text().toStdString();
        bottom = static_cast<int>(block.layout()->position().y() +
                                  block.layout()->boundingRect().bottom());
    }
    EXPECT_LE(bottom, memo()->viewport()->height()) << "the last line is cut off";
}

TEST_F(WelcomePageLookTest, ThePagePaints) {
    const char* folder = std::getenv("QUINDOR_SCREENSHOT_DIR");
    if (folder == nullptr) return;
    std::filesystem::create_directories(folder);
    const std::string name =
        s_installed ? "welcome-installed-tahoma.png" : "welcome-tahoma-from-archive.png";
    const QPixmap shot = wizard.isForm1->widget()->grab();
    EXPECT_TRUE(
        shot.save(QString::fromStdString((std::filesystem::path(folder) / name).string()), "PNG"));
}
