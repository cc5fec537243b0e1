#include "display/text/RtfKeywords.h"

#include <unordered_map>

namespace orbet {

namespace {

using K = RtfKeyword;

const std::unordered_map<std::string_view, RtfKeywordInfo>& keywordTable() {
    static const std::unordered_map<std::string_view, RtfKeywordInfo> table = [] {
        std::unordered_map<std::string_view, RtfKeywordInfo> t;
        for (const char* word : {"stylesheet",   "info",
                                 "header",       "headerl",
                                 "headerr",      "headerf",
                                 "footer",       "footerl",
                                 "footerr",      "footerf",
                                 "footnote",     "ftnsep",
                                 "ftnsepc",      "aftnsep",
                                 "aftnsepc",     "nonshppict",
                                 "nonesttables", "xe",
                                 "tc",           "txe",
                                 "rxe",          "fldinst",
                                 "datafield",    "objdata",
                                 "objclass",     "template",
                                 "revtbl",       "rsidtbl",
                                 "listtable",    "listoverridetable",
                                 "filetbl",      "latentstyles",
                                 "themedata",    "colorschememapping",
                                 "datastore",    "xmlnstbl",
                                 "mmathPr",      "generator",
                                 "pgdsctbl",     "userprops",
                                 "docvar",       "fchars",
                                 "lchars",       "pn",
                                 "pntxta",       "pntxtb",
                                 "bkmkstart",    "bkmkend",
                                 "annotation",   "atnid",
                                 "atnauthor",    "atrfstart",
                                 "atrfend",      "comment",
                                 "falt",         "panose",
                                 "blipuid",      "picprop",
                                 "do",           "formfield"})
            t.emplace(word, RtfKeywordInfo{K::SkipDestination});
        for (const char* word :
             {"ul", "uld", "uldash", "uldashd", "uldashdd", "uldb", "ulhwave", "ulldash", "ulth", "ulthd",
              "ulthdash", "ulthdashd", "ulthdashdd", "ulthldash", "ululdbwave", "ulw", "ulwave"})
            t.emplace(word, RtfKeywordInfo{K::Underline});
        const std::pair<const char*, char16_t> characters[] = {
            {"emdash", 0x2014},    {"endash", 0x2013},    {"emspace", 0x2003}, {"enspace", 0x2002},
            {"qmspace", 0x2005},   {"bullet", 0x2022},    {"lquote", 0x2018},  {"rquote", 0x2019},
            {"ldblquote", 0x201C}, {"rdblquote", 0x201D}, {"zwj", 0x200D},     {"zwnj", 0x200C},
            {"zwbo", 0x200B},      {"ltrmark", 0x200E},   {"rtlmark", 0x200F},
        };
        for (const auto& [word, c] : characters)
            t.emplace(word, RtfKeywordInfo{K::Character, c});
        const std::pair<const char*, RtfKeyword> words[] = {
            {"fonttbl", K::FontTable},
            {"colortbl", K::ColorTable},
            {"pict", K::Picture},
            {"shppict", K::ShapePicture},
            {"nesttableprops", K::NestTableProps},
            {"shp", K::Shape},
            {"shpinst", K::ShapeInstance},
            {"shprslt", K::ShapeResult},
            {"sn", K::ShapePropertyName},
            {"sv", K::ShapePropertyValue},
            {"shptxt", K::ShapeText},
            {"ansi", K::Ansi},
            {"mac", K::Mac},
            {"pc", K::Pc},
            {"pca", K::Pca},
            {"ansicpg", K::AnsiCodePage},
            {"deff", K::DefaultFont},
            {"uc", K::UnicodeSkip},
            {"u", K::Unicode},
            {"bin", K::Binary},
            {"f", K::Font},
            {"fcharset", K::FontCharset},
            {"cpg", K::FontCodePage},
            {"plain", K::Plain},
            {"b", K::Bold},
            {"i", K::Italic},
            {"ulnone", K::UnderlineNone},
            {"strike", K::Strike},
            {"striked", K::Strike},
            {"fs", K::FontSize},
            {"cf", K::Foreground},
            {"cb", K::Background},
            {"highlight", K::Background},
            {"chcbpat", K::Background},
            {"v", K::Hidden},
            {"super", K::Superscript},
            {"sub", K::Subscript},
            {"nosupersub", K::NoSuperSub},
            {"pard", K::Pard},
            {"par", K::Par},
            {"sect", K::Par},
            {"line", K::Line},
            {"page", K::Page},
            {"tab", K::Tab},
            {"cell", K::Cell},
            {"nestcell", K::Cell},
            {"row", K::Row},
            {"nestrow", K::Row},
            {"ql", K::AlignLeft},
            {"qc", K::AlignCenter},
            {"qr", K::AlignRight},
            {"qj", K::AlignJustify},
            {"qd", K::AlignJustify},
            {"li", K::LeftIndent},
            {"lin", K::LeftIndent},
            {"ri", K::RightIndent},
            {"rin", K::RightIndent},
            {"fi", K::FirstIndent},
            {"sb", K::SpaceBefore},
            {"sa", K::SpaceAfter},
            {"pagebb", K::PageBreakBefore},
            {"red", K::Red},
            {"green", K::Green},
            {"blue", K::Blue},
            {"pngblip", K::PngBlip},
            {"jpegblip", K::JpegBlip},
            {"wmetafile", K::WmfBlip},
            {"emfblip", K::EmfBlip},
            {"dibitmap", K::DibBlip},
            {"wbitmap", K::OtherBlip},
            {"macpict", K::OtherBlip},
            {"pmmetafile", K::OtherBlip},
            {"picw", K::PicWidth},
            {"pich", K::PicHeight},
            {"picwgoal", K::PicGoalWidth},
            {"pichgoal", K::PicGoalHeight},
            {"picscalex", K::PicScaleX},
            {"picscaley", K::PicScaleY},
        };
        for (const auto& [word, keyword] : words)
            t.emplace(word, RtfKeywordInfo{keyword});
        return t;
    }();
    return table;
}

} // namespace

RtfKeywordInfo lookupKeyword(std::string_view word) {
    const auto& table = keywordTable();
    const auto it = table.find(word);
    return it == table.end() ? RtfKeywordInfo{} : it->second;
}

} // namespace orbet
