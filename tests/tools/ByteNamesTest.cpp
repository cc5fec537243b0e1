#include <gtest/gtest.h>

#include "navigation/FileListing.h"
#include "platform/NativePath.h"
#include "support/TestSupport.h"
#include "tools/FileListExport.h"
#include "tools/FileOperations.h"
#include "tools/InformationTexts.h"

// Folder trees whose names are not UTF-8: copied, measured and deleted by
// their bytes.
namespace orbet {
namespace {

const QByteArray kFolder("\x83\x74\x83\x48\x83\x8b\x83\x5f"); // フォルダ in code page 932
const QByteArray kFile("caf\xe9.txt");

TEST(ByteNamedTrees, CopyMeasureAndDeleteReachEveryName) {
    test::ByteNamedFolder dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(dir.makeFolderNative(kFolder));
    ASSERT_TRUE(dir.makeFolderNative(kFolder + "/\xff"));
    ASSERT_TRUE(dir.writeNative(kFolder + "/" + kFile, "12345"));
    ASSERT_TRUE(dir.writeNative(kFolder + "/\xff/\x93\xfa.bin", "abc"));
    const QString source = fromNative(dir.nativePath() + kFolder);

    EXPECT_EQ(folderTreeSize(source), 8);
    const FolderFacts facts = folderFacts(source);
    EXPECT_EQ(facts.name, fromNative(kFolder));
    EXPECT_TRUE(folderInformationText(facts).contains(QStringLiteral("フォルダ名：フォルダ")));

    EXPECT_EQ(everyFileOf(source), QStringList{fromNative(kFile)});
    EXPECT_EQ(fileListText(source, everyFileOf(source)), dir.nativePath() + kFolder + "/" + kFile + "\r\n");

    const QString target = fromNative(dir.nativePath() + "copy");
    const TreeCopyReport copied = copyFolderTree(source, target, true);
    EXPECT_TRUE(copied.failed.isEmpty());
    EXPECT_EQ(copied.copied.size(), 2);
    EXPECT_EQ(dir.readNative("copy/" + kFile), QByteArray("12345"));
    EXPECT_EQ(dir.readNative("copy/\xff/\x93\xfa.bin"), QByteArray("abc"));
    EXPECT_TRUE(copied.copied.contains(fromNative(dir.nativePath() + "copy/" + kFile)));

    const TreeRemoveReport removed = removeFolderTree(source);
    EXPECT_TRUE(removed.removed());
    EXPECT_FALSE(dir.existsNative(kFolder));
    EXPECT_TRUE(dir.existsNative("copy/" + kFile)); // only the named tree went
}

} // namespace
} // namespace orbet
