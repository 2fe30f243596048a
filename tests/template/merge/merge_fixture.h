#pragma once
// Templates merged through the engine and read back with the RTF reader.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "temp_dir.h"
#include "template/merge/rtf_extended.h"
#include "template/rtf/rtf_document_parser.h"

namespace lagrull::test {

// A template around `body`, as a word processor writes its start.
inline std::string rtfTemplate(const std::string& body) {
    return "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1044{\\fonttbl{\\f0\\froman\\fcharset0 Times "
           "New Roman;}}"
           "{\\colortbl;\\red255\\green0\\blue0;}\r\n\\pard\\plain " +
           body + "\r\n}";
}

// The visible paragraphs of a finished document (table cells joined by "|").
inline std::vector<std::string> paragraphsOf(const std::string& rtf) {
    std::vector<std::string> out;
    const auto document = readRtfDocument(rtf);
    for (const auto& section : document->sections)
        for (const auto& e : section->body.elements()) {
            if (e->kind() == TTextElement::Kind::Paragraph) {
                out.push_back(static_cast<const TParagraph&>(*e).text());
            } else if (e->kind() == TTextElement::Kind::Table) {
                for (const auto& row : static_cast<const TTableParagraph&>(*e).rows) {
                    std::string line;
                    for (const auto& cell : row.cells) {
                        std::string text;
                        for (const auto& p : cell.content.elements())
                            if (p->kind() == TTextElement::Kind::Paragraph)
                                text += static_cast<const TParagraph&>(*p).text();
                        line += (line.empty() ? "" : "|") + text;
                    }
                    out.push_back(line);
                }
            }
        }
    return out;
}

inline std::string textOf(const std::string& rtf) {
    std::string out;
    for (const std::string& p : paragraphsOf(rtf)) out += (out.empty() ? "" : "\n") + p;
    return out;
}

class MergeTest : public ::testing::Test {
protected:
    // The template body merged; the result must read as RTF.
    std::string merge(const std::string& body) {
        engine.setBaseDirectory(dir.str());
        result = engine.Convert(rtfTemplate(body));
        if (!result.empty()) {
            EXPECT_NO_THROW(readRtfDocument(result));
        }
        return result;
    }
    std::string mergedText(const std::string& body) { return textOf(merge(body)); }

    TempDir dir;
    TRtfExtended engine;
    std::string result;
};

}  // namespace lagrull::test
