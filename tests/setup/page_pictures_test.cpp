// The setup picture on the five pages that show it, the folder glyph, and a picture of
// every page at design size (saved to QUINDOR_SCREENSHOT_DIR when that is set).

#include <QAbstractButton>
#include <QImage>
#include <QPixmap>
#include <cstdlib>

#include "wizard_fixture.h"

TEST_F(WizardTest, SetupPictureIsCopiedToFourPages) {
    const QImage& original = wizard.isForm1->Image1->picture();
    EXPECT_EQ(original.size(), QSize(143, 191));
    EXPECT_LE(original.colorCount(), 16);
    for (framework::TImage* image : {wizard.isForm3->Image1, wizard.isform4->Image1,
                                     wizard.isForm5->Image1, wizard.isform6->Image1}) {
        EXPECT_EQ(image->picture(), original);
        EXPECT_TRUE(image->stretch());
    }
}

TEST_F(WizardTest, FolderButtonHasANormalAndADisabledGlyph) {
    EXPECT_EQ(wizard.isForm3->BitBtn1->numGlyphs(), 2);
    EXPECT_EQ(wizard.isForm3->BitBtn1->Glyph().image().size(), QSize(32, 16));
    auto* button = static_cast<QAbstractButton*>(wizard.isForm3->BitBtn1->widget());
    const QImage normal = button->icon().pixmap(16, 16, QIcon::Normal).toImage();
    const QImage disabled = button->icon().pixmap(16, 16, QIcon::Disabled).toImage();
    EXPECT_NE(normal, disabled);
    // The lower-left colour is transparent.
    EXPECT_EQ(qAlpha(normal.pixel(0, 15)), 0);
}

TEST_F(WizardTest, EveryPagePaintsAtDesignSize) {
    const char* folder = std::getenv("QUINDOR_SCREENSHOT_DIR");
    const std::filesystem::path target = folder != nullptr
                                             ? std::filesystem::path(folder)
                                             : testing_support::sandboxFolder() / "screens";
    std::filesystem::create_directories(target);
    for (framework::TForm* page : allPages()) {
        page->Show();
        testing_support::settle();
        const QPixmap shot = page->widget()->grab();
        EXPECT_EQ(shot.size(), QSize(page->clientWidth(), page->clientHeight())) << page->name();
        const std::filesystem::path file = target / (page->name() + ".png");
        EXPECT_TRUE(shot.save(QString::fromStdString(file.string()), "PNG")) << file;
        // A painted page is more than its background colour.
        const QImage image = shot.toImage();
        int differing = 0;
        for (int y = 0; y < image.height(); y += 4) {
            for (int x = 0; x < image.width(); x += 4)
                differing += image.pixel(x, y) != image.pixel(1, 1);
        }
        EXPECT_GT(differing, 20) << page->name();
        page->Hide();
    }
}
