#pragma once
// The document builder: reads a whole RTF document into a TBuildDocument.
// Adds to the paragraph vocabulary the document and section words, headers
// and footers, fields, pictures, drawing objects and shapes.

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "template/rtf/rtf_drawing_reader.h"
#include "template/rtf/rtf_paragraph_parser.h"

namespace lagrull {

// The internal "Meta Only" signal: a read for the document properties has
// reached the first picture, shape or drawing.
struct RtfMetaOnly {};

class TRtfDocumentParser : public TRtfParagraphParser, private TRtfTextReader {
public:
    // `metaOnly`: stop at the first picture, shape or drawing object.
    TRtfDocumentParser(TRtfTokenizer& tokens, TBuildDocument& document, bool metaOnly = false);

    // Reads the whole document into the model; throws FormatError "No RTF."
    void readDocument();

protected:
    bool handleWord(RtfWord w, const TRtfToken& t) override;
    bool onDestination(const TRtfToken& first, bool ignorable) override;
    void onDocumentEnd() override;

private:
    bool documentWord(RtfWord w, const TRtfToken& t);
    void readPicture();
    // Returns false when the group is to be read in line.
    bool readField(const TRtfToken& first, bool ignorable);
    void metaOnlyStop() const {
        if (metaOnly_) throw RtfMetaOnly{};
    }

    void readTextInto(TTextSequence& sequence) override;
    void readResult() override { readInline(); }

    TBuildDocument& document_;
    TDocumentWriter documentWriter_;
    bool metaOnly_;
    bool ended_ = false;
    std::string fieldInstruction_;   // of the field whose result comes next
    bool shapePictureSeen_ = false;  // the last group was a "shppict"
    bool inAlternative_ = false;     // inside "nonshppict"
};

// Reads an RTF document held in memory.
std::unique_ptr<TBuildDocument> readRtfDocument(std::string_view rtf, bool metaOnly = false);
// Reads an RTF file; throws FileError when it cannot be read.
std::unique_ptr<TBuildDocument> readRtfFile(const std::filesystem::path& path,
                                            bool metaOnly = false);

}  // namespace lagrull
