#pragma once
// TRtfExtended: the template engine. An RTF template with merge fields
// ({navn}, {forfdato[D8]}) and commands (@IF(...)@BEGIN ... @END,
// @LINK(file), @SET, ...) becomes a finished RTF document, or a PDF through
// an injected converter.
//
// Design note. The template is read once by TRtfExtendedGroup, which hands
// every token to the engine; text goes through a chain of character
// handlers (rtf_char_handlers.h), control words and groups are written as
// they come. Invariants:
//  - everything written goes through write(), which counts the output's
//    group depth and breaks lines past 80 characters between writes;
//  - the level stack always holds the document level; output is active
//    when no open level suppresses it;
//  - every text written is converted to RTF: "\", "{" and "}" escaped,
//    characters beyond ASCII as "\'hh" or "\u", so no merged value can break
//    the document;
//  - page breaks are written as fixed-size placeholders and margins as five
//    digits, patched in place after the whole template is read;
//  - a run is bounded: loops, include nesting and expression depth have
//    limits, so no template can hang the engine.

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/dates.h"
#include "template/layout/pdf_converter.h"
#include "template/rtf/rtf_file_parser.h"

namespace lagrull {

class TActiveScriptSite;
class TCharHandler;
class TIniFileData;
class TMergeDatabase;
class TRtfExtWordFieldComputer;
class TRtfTemplateFiles;
class TRtfExtLogs;
struct TRtfField;

// Paper bins for the section breaks of a printed letter.
struct TMergePrintOptions {
    int firstPageBin = 0;  // 0: none
    int otherPageBin = 0;
    int oddPage = 1;  // 0: odd-page breaks are written as plain breaks
};

struct TForDataItem {
    std::string name;
    long long value = 0;
    long long end = 0;
};

// Margins in twips, in the order left, top, right, bottom.
enum TMargin { kMarginLeft = 0, kMarginTop, kMarginRight, kMarginBottom };

struct TDocumentProperties {
    int margins[4] = {1800, 1440, 1800, 1440};
    bool landscape = false;
    bool hasHeaderOrFooter = false;
    bool hasContent = false;
    int startedAfterBreak = -1;  // index of the page break, -1: none
    int groupDepth = 0;
    // Output positions of the document's own margin values (main document).
    std::array<std::vector<std::size_t>, 4> marginPositions;
};

struct TPageBreakProperties {
    std::size_t position = 0;
    int groupDepth = 0;
    bool firstPage = false;
    bool oddPage = false;
    bool hasHeaderOrFooter = false;
    bool landscape = false;
    int margins[4] = {1800, 1440, 1800, 1440};
};

struct TFlowLevel {
    bool suppress = false;
    bool loop = false;  // the level of a FOR: closing it ends the loop
    std::optional<std::vector<std::string>> savedSections;
};

// The command words, numbered as the command types.
enum class TRtfCommand {
    None = 0,
    For,
    If,
    Else,
    Begin,
    End,
    Skip,
    Link,
    Set,
    Insert,
    FirstPage,
    OddPage,
    IniSections,
    Comment,
    Abort,
    Ignore
};

class TRtfExtended {
public:
    // name -> value; nullopt when the host does not know the name.
    using GetFieldEvent = std::function<std::optional<std::string>(const std::string& name)>;
    // Fills `stream` with RTF ("{\rtf1...") or plain text for "@INSERT(name)".
    using MergeRtfStreamEvent = std::function<void(const std::string& name, std::string& stream)>;

    static constexpr long long kMaxLoopPasses = 10000;
    static constexpr int kMaxIncludeDepth = 16;
    static constexpr int kMaxFieldDepth = 32;

    TRtfExtended();
    ~TRtfExtended();
    TRtfExtended(const TRtfExtended&) = delete;
    TRtfExtended& operator=(const TRtfExtended&) = delete;

    // --- set-up by the host
    std::string MergeIniFile;
    GetFieldEvent OnGetField;
    MergeRtfStreamEvent OnMergeRtfStream;
    std::vector<std::string> namesAndValues;  // alternating name, value
    std::vector<std::string> nameValueList;   // "name=value"
    bool logging = false;
    bool strictFields = false;
    std::optional<TMergePrintOptions> printOptions;
    std::optional<Date> letterDate;  // DATE and TIME fields at midnight of this day, not now
    std::string dataDirectory;       // searched after the base directory
    std::string programDirectory;    // searched last
    void setZipArchive(const std::string& archive, const std::string& password);
    void setPdfConverter(TRtfPdfConverter* converter) { pdfConverter_ = converter; }
    // Where DATABASE fields run their queries; none: such a field fails.
    void setDatabase(TMergeDatabase* database) { database_ = database; }
    void setScriptHost(TActiveScriptSite* host) { scriptHost_ = host; }

    // Merges the template file into the output file (RTF, or PDF for a name
    // ending in ".PDF").
    void MergeFile(const std::string& templateFile, const std::string& outputFile);
    // The template file found (in the zip archive when one is set) and
    // converted; the base directory becomes the template's.
    std::string MergeToString(const std::string& templateFile);
    // Where linked files are looked for first (MergeFile sets it to the
    // template's directory).
    void setBaseDirectory(const std::string& directory);
    // Converts a template held in memory; returns the finished RTF, empty
    // when no text was written.
    std::string Convert(const std::string& templateRtf);

    // --- used by the handlers, the document parser and the field computer
    std::string lookupField(const std::string& name);
    // Whether sources other than the field computer hold the name.
    std::optional<std::string> findField(const std::string& name);
    bool outputActive() const;
    void runCommand(TRtfCommand type, const std::string& parameter, TRtfCommand open);
    // Ends the level of an open command once the command that followed it
    // (LINK, INSERT or INISECTIONS) is done.
    void closeOpenCommand(TRtfCommand followed);
    void startComment();
    void endComment();
    bool rawMode() const { return rawMode_; }
    void noteCommandDone(bool lineHadContent);

    // Line state of the text scanner.
    bool lineHasContent = false;
    bool dropNextBreak = false;
    bool dropBlanks = false;

    // Document traversal (TRtfExtendedGroup).
    void onText(char32_t c);
    void onWord(const struct TRtfToken& t, bool included, const std::map<int, int>& fontMap,
                const std::map<int, int>& colorMap);
    void onGroupStart();
    void onGroupEnd();
    // A group copied as it is (pictures, ignorable destinations); pictures
    // are left out where output is suppressed.
    void writeVerbatimGroup(const std::string& openingWords, const std::string& body, bool picture);
    void onField(const TRtfField& field, const TRtfHeader& header);
    void writeLiteralText(const std::string& utf8);
    void noteHeaderOrFooter();
    void mergeTables(const TRtfHeader& header, bool included, std::map<int, int>& fontMap,
                     std::map<int, int>& colorMap);
    std::string readFile(const std::string& name);
    // Makes an ini file (found like a linked file) the merge data.
    void loadMergeIni(const std::string& name);
    void setVariable(const std::string& name, const std::string& value);
    const TRtfHeader& templateHeader() const { return header_; }
    TRtfExtLogs* logs() { return logs_.get(); }
    CodePage outputCodePage() const { return codePage_; }

private:
    friend class TRtfExtendedGroup;
    void write(std::string_view text);
    void noteText();
    void closeGroupsTo(int depth);
    void writeRootText();
    std::string toRtf(const std::string& utf8) const;
    void openLevel(bool suppress);
    void closeLevel();

public:
    // Includes a file (isFile) or an RTF text, once or for each value of the
    // loop at that place of the loop stack.
    void include(const std::string& source, bool isFile, std::optional<std::size_t> loop);

private:
    void includeOnce(const std::string& rtf);
    void parseDocument(const std::string& rtf, bool included);
    void parseFragment(const std::string& rtf);
    void insertPlainText(const std::string& text);
    void commandSet(const std::string& parameter);
    void commandFor(const std::string& parameter);
    // The newest loop when the command follows a FOR.
    std::optional<std::size_t> openLoop(TRtfCommand open) const;
    void writePageBreak();
    void writeMargin(int which, int value);
    void setMargin(int which, int value);
    void writeAtDocumentLevel(const std::string& word);
    void finishPages();
    std::string documentHeader() const;
    void reset();

    TRtfPdfConverter* pdfConverter_ = nullptr;
    TMergeDatabase* database_ = nullptr;
    TActiveScriptSite* scriptHost_ = nullptr;
    std::unique_ptr<TActiveScriptSite> ownScriptHost_;
    std::unique_ptr<TRtfTemplateFiles> files_;
    std::unique_ptr<TRtfExtLogs> logs_;
    std::unique_ptr<TIniFileData> ini_;
    std::unique_ptr<TRtfExtWordFieldComputer> fields_;

    std::vector<std::pair<std::string, std::string>> variables_;
    std::vector<TForDataItem> loops_;  // newest last
    std::vector<TFlowLevel> levels_;
    std::vector<std::unique_ptr<TCharHandler>> roots_;
    std::vector<TDocumentProperties> documents_;
    std::vector<TPageBreakProperties> pageBreaks_;

    std::string out_;
    std::size_t lineLength_ = 0;
    int groupDepth_ = 0;
    bool rawMode_ = false;
    bool documentHasContent_ = false;
    bool bodyHasContent_ = false;  // text outside headers and footers
    int headerDepth_ = 0;          // group depth of an open header or footer, 0: none
    bool firstSectionSeen_ = false;
    int includeDepth_ = 0;
    int fieldDepth_ = 0;
    int ucSkip_ = 1;
    int skipChars_ = 0;
    TRtfHeader header_;  // of the template, with the merged tables
    CodePage codePage_ = CodePage::Windows1252;
    std::string baseDirectory_;
};

}  // namespace lagrull
