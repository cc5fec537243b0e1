#pragma once

#include <optional>

#include <QByteArray>
#include <QString>

struct UConverter;

namespace orbet {

// Windows code page numbers this module knows by name. Any other number is
// read as Windows-1252, so a document that names an exotic code page still
// shows its ASCII text.
constexpr int kCodePageUtf8 = 65001;
constexpr int kCodePageShiftJis = 932;
constexpr int kCodePageWestern = 1252;

// Decodes bytes of a Windows code page: 932, 936, 949, 950, 874, 1250 to 1258,
// 65001 (UTF-8), and also 437, 850, 10000 (Mac Roman), 20932 (EUC-JP) and
// 50220 (ISO-2022-JP). Invalid or unmapped sequences become U+FFFD; a lead byte
// whose trail byte is not a valid trail leaves the trail to be read on its own.
QString decodeCodePage(const QByteArray& bytes, int codePage);

// ICU's name for the converter of a code page; Windows-1252's for one not known.
const char* icuConverterName(int codePage);

// The code page the functions here use for codePage: itself when known, else 1252.
int supportedCodePage(int codePage);

// The bytes of text in a code page, or nullopt when a character has no code
// there (the caller then picks another encoding).
std::optional<QByteArray> encodeCodePage(const QString& text, int codePage);

// The code page of an RTF / Windows font character set (\fcharset), or 0 when
// the character set names none (default, OEM-dependent or unknown): the
// document's code page then applies. The symbol set reads as Windows-1252.
int codePageForCharset(int charset);

// A decoder kept open for one code page, for callers that decode many short
// pieces (the RTF reader). Not copyable; cheap to move.
class CodePageDecoder {
  public:
    explicit CodePageDecoder(int codePage);
    ~CodePageDecoder();
    CodePageDecoder(CodePageDecoder&& other) noexcept;
    CodePageDecoder& operator=(CodePageDecoder&& other) noexcept;
    CodePageDecoder(const CodePageDecoder&) = delete;
    CodePageDecoder& operator=(const CodePageDecoder&) = delete;

    int codePage() const { return codePage_; }

    // Appends the decoded text of a complete byte sequence to out; returns the
    // number of invalid or unmapped sequences met (each became U+FFFD).
    int decode(const char* data, qsizetype size, QString& out);
    QString decode(const QByteArray& bytes);

  private:
    int convert(const char* data, qsizetype size, QString& out);

    int codePage_;
    UConverter* converter_ = nullptr;
};

} // namespace orbet
