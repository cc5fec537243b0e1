#pragma once

#include <functional>

#include <QByteArray>
#include <QImage>
#include <QString>

class QTextDocument;

namespace orbet {

struct RtfReadOptions {
    // Turns the data of a \wmetafile picture (a standard metafile, without the
    // placeable header) into an image (see MetafileDecoder). Without it WMF
    // pictures are left out.
    std::function<QImage(const QByteArray& data, qint64 budgetBytes, qint64* claimed)> decodeWmf;
};

// Replaces the content of doc with the RTF document in bytes: text in the code
// page of each font (\fcharset, \cpg) or of the document (\ansicpg), \uN with
// its \ucN fallback skipped, character formats (font, size, bold, italic,
// underline, strike, colours, super/subscript, hidden text left out),
// paragraph formats (alignment, indents, spacing, page breaks), tables as text
// (a tab between cells, a paragraph per row) and PNG, JPEG, DIB and (through
// the hook) WMF pictures as image resources of doc at their display size.
//
// Malformed input is read as far as it makes sense: unbalanced braces, bad
// escapes, \bin lengths beyond the end and truncated pictures never fail, and
// nesting deeper than a fixed limit is read without more state. Time is linear
// in the input; memory is a small multiple of it (decoded pictures included).
// Returns false, with the reason in error, only when bytes are not RTF at all
// (after blanks and a UTF-8 byte order mark they do not start with "{\rtf");
// doc is then left empty. Text after the group that began the document is
// not part of it.
bool readRtf(const QByteArray& bytes, QTextDocument& doc, const RtfReadOptions& options,
             QString* error = nullptr);
bool readRtf(const QByteArray& bytes, QTextDocument& doc, QString* error = nullptr);

} // namespace orbet
