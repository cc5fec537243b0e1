#include <gtest/gtest.h>

#include "display/FileKinds.h"
#include "plugins/UserFilterTable.h"

namespace orbet {
namespace {

TEST(FileKinds, ClassifiesByTheLastFourCharacters) {
    struct Case {
        const char* path;
        ExtensionClass cls;
        int entry;
    } cases[] = {
        {"/a/B.JpG", ExtensionClass::Picture, 0},     {"/a/clip.wma", ExtensionClass::Media, 10},
        {"/a/song.midi", ExtensionClass::Other, 13},  {"/a/x.c", ExtensionClass::Other, 13},
        {"/a/photojpeg", ExtensionClass::Picture, 0}, {"/a/page.xhtml", ExtensionClass::WebPage, 9},
        {"/a/n.rtf", ExtensionClass::RichText, 8},    {"/a/x.doc", ExtensionClass::Other, 13},
        {"/a/run.BAT", ExtensionClass::PlainText, 8}, {"/a/v.mp2v", ExtensionClass::Media, 10},
        {"JPG", ExtensionClass::Other, 13},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ClassifyExtension(QString::fromUtf8(c.path)), c.cls) << c.path;
        EXPECT_EQ(FilterEntryForClass(ClassifyExtension(QString::fromUtf8(c.path))), c.entry) << c.path;
    }
}

TEST(FileKinds, NameTests) {
    // Letter case does not matter: a camera's names are capitals.
    for (const char* built :
         {"/p/A.JPG", "/p/DSC0001.JPG", "/p/a.jpe", "/p/x.Bmp", "/p/y.GIF", "/p/i.ICO", "/p/m.WMF"})
        EXPECT_TRUE(IsBuiltInPictureName(QString::fromLatin1(built))) << built;
    for (const char* other : {"/p/a.png", "/p/a.PNG", "/p/t.tiff", "/p/w.webp"})
        EXPECT_FALSE(IsBuiltInPictureName(QString::fromLatin1(other))) << other;
    EXPECT_TRUE(IsRichTextName(QStringLiteral("/n.RTF")));
    EXPECT_FALSE(IsRichTextName(QStringLiteral("/notes.Rtf")));
}

TEST(FileKinds, RoutesOfBuiltInAndUserEntries) {
    UserFilterTable t;
    t.row(0).method = FilterValue::ofNumber(3);
    t.row(1).method = FilterValue::ofText("2");
    t.row(2).method = FilterValue::ofNumber(7);
    EXPECT_EQ(RouteForEntry(0, builtInFilterText(0), t), ShowRoute::PictureAuto);
    EXPECT_EQ(RouteForEntry(13, builtInFilterText(13), t), ShowRoute::Program);
    EXPECT_EQ(RouteForEntry(14, builtInFilterText(14), t), ShowRoute::AnyFile);
    EXPECT_EQ(RouteForEntry(15, QStringLiteral("mine"), t), ShowRoute::Media);
    EXPECT_EQ(RouteForEntry(16, QStringLiteral("web"), t), ShowRoute::Web);
    EXPECT_EQ(RouteForEntry(17, QStringLiteral("odd"), t), ShowRoute::None);
    // A user filter that happens to be named like the any-file entry takes its route.
    EXPECT_EQ(RouteForEntry(15, builtInFilterText(14), t), ShowRoute::AnyFile);
}

} // namespace
} // namespace orbet
