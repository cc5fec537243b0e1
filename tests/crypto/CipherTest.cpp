#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "CryptoTestSupport.h"
#include "crypto/BinAngsDL.h"
#include "platform/ScriptedPrompter.h"
#include "support/TestSupport.h"

namespace orbet::test {
namespace {

TEST(Cipher, HexTextOfBytes) {
    EXPECT_EQ(BinAngsDL::BinToHex2(0), QStringLiteral("00"));
    EXPECT_EQ(BinAngsDL::BinToHex2(10), QStringLiteral("0A"));
    EXPECT_EQ(BinAngsDL::BinToHex2(255), QStringLiteral("FF"));
}

TEST(Cipher, OneRoundWithKnownKeyRotatesEveryDigit) {
    ScriptedPrompter prompter;
    BinAngsDL bin(prompter);
    FixedRandom random{{3, 9, 3, 1}};
    bin.setRandomSource(random.source());
    EXPECT_EQ(bin.Angs(QStringLiteral("0AF")), QStringLiteral("933D2"));
    // With key 3, E becomes 1 and 2 becomes 5.
    EXPECT_EQ(bin.Angs(QStringLiteral("E2")), QStringLiteral("1315"));
    EXPECT_EQ(BinAngsDL::Hukgs(QStringLiteral("1315")), QStringLiteral("E2"));
    EXPECT_EQ(BinAngsDL::Hukgs(QStringLiteral("933D2")), QStringLiteral("0AF"));
    // A key is drawn from 1 to 14, then a decoy from 1 to 15.
    const std::vector<std::pair<int, int>> ranges = {{1, 14}, {1, 15}, {1, 14}, {1, 15}};
    EXPECT_EQ(random.ranges, ranges);
}

TEST(Cipher, RoundsAreInverseAndStayInTheirRanges) {
    ScriptedPrompter prompter;
    BinAngsDL bin(prompter); // the program's own generator
    QSet<QChar> decoys, keys;
    auto* gen = QRandomGenerator::global();
    for (int t = 0; t < 2000; ++t) {
        QString text;
        const int length = int(gen->bounded(0, 40));
        for (int i = 0; i < length; ++i)
            text += QLatin1Char("0123456789ABCDEF"[gen->bounded(16)]);
        const QString scrambled = bin.Angs(text);
        ASSERT_EQ(scrambled.size(), text.size() + 2);
        decoys.insert(scrambled[0]);
        keys.insert(scrambled[1]);
        ASSERT_EQ(BinAngsDL::Hukgs(scrambled), text);
    }
    EXPECT_EQ(decoys,
              QSet<QChar>({'1', '2', '3', '4', '5', '6', '7', '8', '9', 'A', 'B', 'C', 'D', 'E', 'F'}));
    EXPECT_EQ(keys, QSet<QChar>({'1', '2', '3', '4', '5', '6', '7', '8', '9', 'A', 'B', 'C', 'D', 'E'}));
}

TEST(Cipher, ProtectedFileMatchesTheLayoutByteForByte) {
    QTemporaryDir dir;
    const QString source = dir.filePath("ab");
    const QString target = dir.filePath("ab.ang");
    ASSERT_TRUE(writeAll(source, QByteArray("\x00\xAB", 2)));
    ScriptedPrompter prompter;
    BinAngsDL bin(prompter);
    FixedRandom random{{1, 4, 2, 5, 3, 6}}; // k1 r1 k2 r2 k3 r3
    bin.setRandomSource(random.source());
    bin.setPass("pw");
    bin.setFilename("ab");
    ASSERT_EQ(bin.ProtectFile(source, target), BinAngsDL::Protected::Written);
    // Worked out by hand: r3k3, (r2+k3)(k2+k3), (r1+k2+k3)(K), then
    // "pw\r\nab\r\n00AB\r\n" with both halves of every byte plus K = 6.
    const QByteArray expected = QByteArray::fromHex("638596"
                                                    "D6DD6360"
                                                    "C7C86360"
                                                    "9696A7A8"
                                                    "6360");
    EXPECT_EQ(readAll(target), expected);
    EXPECT_EQ(expected.size(), 2 + 2 + 2 * 2 + 9);
    EXPECT_TRUE(prompter.records().empty());
}

TEST(Cipher, StreamedFileEqualsThreeTextRounds) {
    QTemporaryDir dir;
    QByteArray content;
    for (int i = 0; i < 3000; ++i)
        content.append(char(i * 7));
    ASSERT_TRUE(writeAll(dir.filePath("data.bin"), content));
    ScriptedPrompter prompter;
    BinAngsDL bin(prompter);
    bin.setPass(QStringLiteral("秘密"));
    bin.setFilename(QStringLiteral("データ.bin"));
    const std::deque<int> draws = {14, 15, 7, 1, 1, 8};
    FixedRandom textRandom{draws}, fileRandom{draws};
    bin.setRandomSource(textRandom.source());
    const QString text = bin.PassAngs(*bin.OpenBin(dir.filePath("data.bin")));
    bin.setRandomSource(fileRandom.source());
    ASSERT_EQ(bin.ProtectFile(dir.filePath("data.bin"), dir.filePath("x.ang")),
              BinAngsDL::Protected::Written);
    const QByteArray file = readAll(dir.filePath("x.ang"));
    EXPECT_EQ(QString::fromLatin1(file.toHex().toUpper()), text);
    EXPECT_EQ(file, buildProtected(QByteArray("\x94\xe9\x96\xa7\r\n\x83\x66\x81\x5b\x83\x5e.bin\r\n") +
                                       content.toHex().toUpper() + "\r\n",
                                   {{14, 7, 1}, {15, 1, 8}}));
}

} // namespace
} // namespace orbet::test
