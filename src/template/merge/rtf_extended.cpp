#include "template/merge/rtf_extended.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "common/file_names.h"
#include "common/text_codec.h"
#include "script/active_script_site.h"
#include "script/expression.h"
#include "template/merge/merge_format.h"
#include "template/merge/merge_ini_data.h"
#include "template/merge/rtf_char_handlers.h"
#include "template/merge/rtf_ext_errors.h"
#include "template/merge/rtf_ext_logs.h"
#include "template/merge/rtf_extended_group.h"
#include "template/merge/rtf_if_condition.h"
#include "template/merge/rtf_template_files.h"
#include "template/merge/rtf_word_fields.h"

namespace lagrull {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kLineLength = 81;

bool sameName(const std::string& a, const std::string& b) { return upperCase(a) == upperCase(b); }

bool endsWithNoCase(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() &&
           upperCase(s.substr(s.size() - tail.size())) == upperCase(tail);
}

// Values of "@SET" that are arithmetic: only these characters, and not
// digits alone.
bool looksArithmetic(const std::string& v) {
    if (v.empty()) return false;
    bool other = false;
    for (char c : v) {
        if (c >= '0' && c <= '9') continue;
        if (std::string_view(" &()*+,-./:=|").find(c) == std::string_view::npos) return false;
        other = true;
    }
    return other;
}

int marginOf(std::string_view w) {
    if (w == "margl") return kMarginLeft;
    if (w == "margt") return kMarginTop;
    if (w == "margr") return kMarginRight;
    if (w == "margb") return kMarginBottom;
    return -1;
}

bool isFontWord(std::string_view w) { return w == "f" || w == "af"; }

bool isColorWord(std::string_view w) {
    return w == "cf" || w == "cb" || w == "highlight" || w == "chcfpat" || w == "chcbpat" ||
           w == "cfpat" || w == "cbpat" || w == "brdrcf" || w == "clcfpat" || w == "clcbpat" ||
           w == "trcfpat" || w == "trcbpat" || w == "ulc";
}

// Section and page words an included document does not impose on the
// letter it is part of.
bool isDocumentFormatWord(std::string_view w) {
    return w == "paperw" || w == "paperh" || w == "gutter" || w == "facingp" || w == "margmirror" ||
           w == "landscape" || w == "lndscpsxn" || w == "deftab";
}

const char* charsetWord(TRtfCharset c) {
    switch (c) {
        case TRtfCharset::Mac: return "mac";
        case TRtfCharset::Pc: return "pc";
        case TRtfCharset::Pca: return "pca";
        default: return "ansi";
    }
}

// Deletes the temporary RTF of a PDF output on every path.
struct TemporaryFile {
    fs::path path;
    ~TemporaryFile() {
        std::error_code ec;
        fs::remove(path, ec);
    }
};

}  // namespace

TRtfExtended::TRtfExtended() : files_(std::make_unique<TRtfTemplateFiles>()) { reset(); }

TRtfExtended::~TRtfExtended() = default;

void TRtfExtended::setZipArchive(const std::string& archive, const std::string& password) {
    files_->setZipArchive(archive, password);
}

void TRtfExtended::reset() {
    variables_.clear();
    loops_.clear();
    levels_.assign(1, TFlowLevel{});
    roots_.clear();
    roots_.push_back(std::make_unique<TTextCharHandler>(*this));
    documents_.assign(1, TDocumentProperties{});
    pageBreaks_.clear();
    out_.clear();
    lineLength_ = 0;
    groupDepth_ = 0;
    rawMode_ = false;
    documentHasContent_ = false;
    bodyHasContent_ = false;
    headerDepth_ = 0;
    firstSectionSeen_ = false;
    includeDepth_ = 0;
    fieldDepth_ = 0;
    ucSkip_ = 1;
    skipChars_ = 0;
    lineHasContent = dropNextBreak = dropBlanks = false;
    header_ = TRtfHeader{};
    codePage_ = CodePage::Windows1252;
}

void TRtfExtended::setBaseDirectory(const std::string& directory) {
    files_->setDirectories(directory, dataDirectory, programDirectory);
}

std::string TRtfExtended::MergeToString(const std::string& templateFile) {
    setBaseDirectory(fs::path(templateFile).parent_path().string());
    return Convert(files_->read(templateFile));
}

void TRtfExtended::MergeFile(const std::string& templateFile, const std::string& outputFile) {
    setBaseDirectory(fs::path(templateFile).parent_path().string());
    const bool pdf = endsWithNoCase(outputFile, ".PDF");
    if (pdf && !pdfConverter_)
        throw Error("Kritisk feil! Kan ikke lage PDF-filen " + outputFile +
                    ": ingen PDF-omformer er tilgjengelig.");
    const std::string templateRtf = files_->read(templateFile);
    TemporaryFile temporary;
    std::string rtfFile = outputFile;
    if (pdf) {
        rtfFile = fs::path(outputFile).replace_extension(".tmpRTF").string();
        temporary.path = rtfFile;
    }
    writeFileBytes(rtfFile, {});  // created or truncated before the merge
    const std::string document = Convert(templateRtf);
    writeFileBytes(rtfFile, document);
    if (pdf) pdfConverter_->convert(rtfFile, outputFile);
}

std::string TRtfExtended::Convert(const std::string& templateRtf) {
    reset();
    std::string result;
    try {
        if (logging) logs_ = std::make_unique<TRtfExtLogs>();
        auto progress = [&](const std::string& line) {
            if (logs_) logs_->progress(line);
        };
        progress("Convert - Start");
        TActiveScriptSite* host = scriptHost_;
        if (!host) {
            if (!ownScriptHost_) {
                ownScriptHost_ = std::make_unique<TActiveScriptSite>();
                ownScriptHost_->setSafeMode(true);
                ownScriptHost_->setInstructionLimit(1'000'000);
            }
            host = ownScriptHost_.get();
        }
        fields_ = std::make_unique<TRtfExtWordFieldComputer>(*this, *host, database_);
        progress("FieldComputer er initialisert");
        if (!MergeIniFile.empty()) {
            ini_ = std::make_unique<TIniFileData>(MergeIniFile);
            progress("MergeIniFile er lastet inn");
        }
        progress("Rtf parser er initialisert");
        parseDocument(templateRtf, false);
        progress("Rtf dokument er lastet");
        finishPages();
        progress("Rtf initielle dokumentegenskaper er initialisert");
        if (documentHasContent_) result = documentHeader() + out_ + "}";
        progress("Rtf convert er ferdig behandlet");
    } catch (...) {
        fields_.reset();
        ini_.reset();
        logs_.reset();
        throw;
    }
    fields_.reset();
    ini_.reset();
    logs_.reset();
    return result;
}

std::string TRtfExtended::documentHeader() const {
    char buf[160];
    std::snprintf(buf, sizeof buf, "{\\rtf1\\%s\\ansicpg%d\\deff%d\\deflang%d\\deflangfe%d\r\n",
                  charsetWord(header_.charset), header_.codePageNumber, header_.defaultFont,
                  header_.defaultLanguage, header_.defaultLanguageFe);
    std::string h = buf;
    if (!header_.fonts.empty()) h += header_.fonts.write();
    h += header_.colors.write();
    return h;
}

// A text cut short leaves groups open; they are closed where it ends.
void TRtfExtended::closeGroupsTo(int depth) {
    while (groupDepth_ > depth) onGroupEnd();
}

void TRtfExtended::parseDocument(const std::string& rtf, bool included) {
    const int depth = groupDepth_;
    TRtfTokenizer tokens(rtf);
    TRtfExtendedGroup reader(
        tokens, *this,
        included ? TRtfExtendedGroup::Mode::Included : TRtfExtendedGroup::Mode::Document);
    reader.read();
    closeGroupsTo(depth);
}

void TRtfExtended::parseFragment(const std::string& rtf) {
    const int depth = groupDepth_;
    TRtfTokenizer tokens(rtf);
    TRtfExtendedGroup reader(tokens, *this, TRtfExtendedGroup::Mode::Fragment);
    reader.readFragment();
    closeGroupsTo(depth);
}

// ---------------------------------------------------------------- output

void TRtfExtended::write(std::string_view text) {
    out_.append(text);
    lineLength_ += text.size();
    if (lineLength_ >= kLineLength) {
        out_ += "\r\n";
        lineLength_ = 0;
    }
}

void TRtfExtended::onGroupStart() {
    write("{");
    ++groupDepth_;
}

void TRtfExtended::onGroupEnd() {
    write("}");
    --groupDepth_;
    if (groupDepth_ < headerDepth_) headerDepth_ = 0;
}

void TRtfExtended::noteText() {
    documentHasContent_ = true;
    documents_.back().hasContent = true;
    if (headerDepth_ == 0) bodyHasContent_ = true;
}

std::string TRtfExtended::toRtf(const std::string& utf8) const {
    return mergedTextToRtf(utf8, codePage_);
}

void TRtfExtended::writeRootText() {
    TCharHandler& root = *roots_.back();
    if (!root.complete()) return;
    if (outputActive() && !root.text().empty()) {
        const std::string rtf = toRtf(root.text());
        write(rtf);
        if (logs_) logs_->written(rtf);
        noteText();
    }
    root.clearText();
}

void TRtfExtended::writeLiteralText(const std::string& utf8) {
    if (!outputActive() || utf8.empty()) return;
    write(toRtf(utf8));
    noteText();
    lineHasContent = true;
    dropNextBreak = dropBlanks = false;
}

void TRtfExtended::writeVerbatimGroup(const std::string& openingWords, const std::string& body,
                                      bool picture) {
    if (picture && !outputActive()) return;
    write("{" + openingWords + body + "}");
    if (picture) noteText();
}

// ---------------------------------------------------------------- traversal

void TRtfExtended::onText(char32_t c) {
    if (skipChars_ > 0) {
        --skipChars_;
        return;
    }
    roots_.back()->feed(c);
    writeRootText();
}

void TRtfExtended::onWord(const TRtfToken& t, bool included, const std::map<int, int>& fontMap,
                          const std::map<int, int>& colorMap) {
    const std::string_view w = t.word();
    if (logs_) logs_->words(std::string(t.text) + " ");
    if (w == "u" && t.hasParam) {
        onText(static_cast<char32_t>(t.param < 0 ? t.param + 65536 : t.param));
        skipChars_ = ucSkip_;
        return;
    }
    if (w == "uc") ucSkip_ = std::clamp(t.paramOr(1), 0, 8);
    if ((w == "par" || w == "line") && dropNextBreak) {
        dropNextBreak = false;
        lineHasContent = false;
        return;
    }
    if (w == "par" || w == "page" || w == "line" || w == "row" || w == "cell") {
        lineHasContent = false;
        if (!outputActive()) return;
    }
    if (w == "tab" && !outputActive()) return;
    if (w == "page") {
        writePageBreak();
        return;
    }
    if (const int m = marginOf(w); m >= 0) {
        setMargin(m, t.paramOr(0));
        if (!included) writeMargin(m, t.paramOr(0));
        return;
    }
    if (w == "landscape" || w == "lndscpsxn") documents_.back().landscape = true;
    if (included && isDocumentFormatWord(w)) return;
    if (w == "binfsxn" || w == "binsxn")
        return;  // the letter's own bins come from the print options
    if (w == "pgnstarts" || w == "pgnrestart") {
        writeAtDocumentLevel(std::string(t.text));
        return;
    }
    std::string text(t.text);
    if (text.size() < 2) return;  // a backslash at the very end of a text cut short
    if (included && t.hasParam) {
        const std::map<int, int>* map = isFontWord(w)    ? &fontMap
                                        : isColorWord(w) ? &colorMap
                                                         : nullptr;
        if (map)
            if (auto it = map->find(t.param); it != map->end())
                text = "\\" + std::string(w) + std::to_string(it->second);
    }
    const bool letters = text.size() > 1 && std::isalpha(static_cast<unsigned char>(text[1]));
    write(letters ? text + " " : text);
    if (w == "sectd" && !firstSectionSeen_) {
        firstSectionSeen_ = true;
        if (printOptions && (printOptions->firstPageBin || printOptions->otherPageBin))
            write("\\binfsxn" + std::to_string(printOptions->firstPageBin) + "\\binsxn" +
                  std::to_string(printOptions->otherPageBin) + " ");
    }
}

void TRtfExtended::noteHeaderOrFooter() {
    documents_.back().hasHeaderOrFooter = true;
    if (headerDepth_ == 0) headerDepth_ = groupDepth_ + 1;  // the group opens next
}

void TRtfExtended::mergeTables(const TRtfHeader& header, bool included, std::map<int, int>& fontMap,
                               std::map<int, int>& colorMap) {
    if (!included) {
        header_.fonts = header.fonts;
        header_.colors = header.colors;
        return;
    }
    fontMap = header_.fonts.merge(header.fonts);
    colorMap = header_.colors.merge(header.colors);
}

void TRtfExtended::onField(const TRtfField& field, const TRtfHeader& header) {
    // Fields inside field results are read recursively: a bound keeps a
    // pathological nesting from exhausting the stack.
    if (!outputActive() || fieldDepth_ >= kMaxFieldDepth) return;
    struct Nesting {
        int& depth;
        explicit Nesting(int& d) : depth(++d) {}
        ~Nesting() { --depth; }
    } nesting(fieldDepth_);
    std::optional<TFieldResult> result;
    if (fields_) result = fields_->compute(field, header);
    if (!result) {
        onGroupStart();
        parseFragment(field.result.data());
        onGroupEnd();
        return;
    }
    switch (result->kind) {
        case TFieldResult::Text: {
            // The stored result's leading formatting is kept around the value.
            std::string formatting;
            TRtfTokenizer tokens(field.result.data());
            try {
                for (;;) {
                    const TRtfToken& t = tokens.next();
                    if (t.kind == TRtfTokenKind::Control && t.word() != "u" && t.word() != "par" &&
                        t.word() != "page" && t.word() != "tab" && t.word() != "line") {
                        formatting += std::string(t.text) + " ";
                    } else if (t.kind != TRtfTokenKind::GroupStart) {
                        break;
                    }
                }
            } catch (const RtfEndOfSource&) {
            }
            onGroupStart();
            write(formatting);
            writeLiteralText(result->text);
            onGroupEnd();
            break;
        }
        case TFieldResult::Rtf:
            onGroupStart();
            parseFragment(result->text);
            onGroupEnd();
            break;
        case TFieldResult::RawRtf:
            write("{" + result->text + "}");
            noteText();
            break;
        case TFieldResult::KeepField:
            onGroupStart();
            write("\\field");
            onGroupStart();
            write("\\*\\fldinst " + field.instruction.data());
            onGroupEnd();
            onGroupStart();
            write("\\fldrslt ");
            parseFragment(field.result.data());
            onGroupEnd();
            onGroupEnd();
            break;
        case TFieldResult::Document: try { include(result->text, false, std::nullopt);
            } catch (const ERtfLevel& e) {
                throw ERtfLink(e.what());
            }
            break;
    }
}

// ---------------------------------------------------------------- look-up

std::optional<std::string> TRtfExtended::findField(const std::string& name) {
    for (auto it = loops_.rbegin(); it != loops_.rend(); ++it)
        if (sameName(it->name, name)) return std::to_string(it->value);
    for (const auto& [n, v] : variables_)
        if (sameName(n, name)) return v;
    if (OnGetField)
        if (auto v = OnGetField(name)) return v;
    if (ini_)
        if (auto v = ini_->find(name)) return v;
    for (std::size_t i = 0; i + 1 < namesAndValues.size(); i += 2)
        if (sameName(namesAndValues[i], name)) return namesAndValues[i + 1];
    for (const std::string& entry : nameValueList) {
        const std::size_t eq = entry.find('=');
        if (eq != std::string::npos && sameName(entry.substr(0, eq), name))
            return entry.substr(eq + 1);
    }
    return std::nullopt;
}

std::string TRtfExtended::lookupField(const std::string& name) {
    if (auto v = findField(name)) return *v;
    std::string v = fields_ && !name.empty() ? fields_->evaluateScript(name) : std::string();
    if (v.empty() && strictFields && outputActive())
        throw ERtfField("Field not found : \"" + name + "\"");
    return v;
}

void TRtfExtended::setVariable(const std::string& name, const std::string& value) {
    for (auto& [n, v] : variables_)
        if (sameName(n, name)) {
            v = value;
            return;
        }
    variables_.emplace_back(name, value);
}

std::string TRtfExtended::readFile(const std::string& name) { return files_->read(name); }

void TRtfExtended::loadMergeIni(const std::string& name) {
    ini_ = std::make_unique<TIniFileData>(files_->locate(name).string());
}

// ---------------------------------------------------------------- levels

bool TRtfExtended::outputActive() const {
    return std::none_of(levels_.begin(), levels_.end(),
                        [](const TFlowLevel& l) { return l.suppress; });
}

void TRtfExtended::openLevel(bool suppress) {
    TFlowLevel level;
    level.suppress = suppress;
    if (ini_) level.savedSections = ini_->searchList();
    levels_.push_back(std::move(level));
}

void TRtfExtended::closeLevel() {
    if (levels_.size() <= 1)
        throw ERtfExtendedCmd("To many @END-commands or missing @BEGIN-command");
    TFlowLevel& top = levels_.back();
    if (top.savedSections && ini_) ini_->restoreSearchList(*top.savedSections);
    if (top.loop && !loops_.empty()) loops_.pop_back();
    levels_.pop_back();
}

void TRtfExtended::closeOpenCommand(TRtfCommand followed) {
    // "@IF(...)@INISECTIONS(...)" chooses the sections for what follows: its
    // level must not take the choice back.
    if (followed == TRtfCommand::IniSections) levels_.back().savedSections.reset();
    closeLevel();
}

void TRtfExtended::startComment() {
    rawMode_ = true;
    openLevel(true);
}

void TRtfExtended::endComment() {
    rawMode_ = false;
    closeLevel();
}

void TRtfExtended::noteCommandDone(bool lineHadContent) {
    dropBlanks = true;
    if (!lineHadContent) dropNextBreak = true;
}

// ---------------------------------------------------------------- commands

void TRtfExtended::runCommand(TRtfCommand type, const std::string& parameter, TRtfCommand open) {
    const std::string value = unprotectValue(parameter);
    if (logs_) logs_->commands("@" + std::string(commandWord(type)) + "(" + value + ")");
    const bool active = outputActive();
    switch (type) {
        case TRtfCommand::For: commandFor(parameter); break;
        case TRtfCommand::If: {
            const bool condition = evaluateIfCondition(parameter);
            if (logs_) logs_->commands("-> (" + value + ")");
            openLevel(!condition);
            break;
        }
        case TRtfCommand::Else:
            // At the document level there is no IF to turn round.
            if (levels_.size() > 1) levels_.back().suppress = !levels_.back().suppress;
            break;
        case TRtfCommand::Begin: break;
        case TRtfCommand::End: closeLevel(); break;
        case TRtfCommand::Skip: openLevel(true); break;
        case TRtfCommand::Link:
            if (logs_) logs_->commands("Start LINK: " + value);
            try {
                include(value, true, openLoop(open));
            } catch (const ERtfLevel& e) {
                throw ERtfLink(std::string(e.what()) + " in file " + value);
            }
            if (logs_) logs_->commands("Slutt LINK: " + value);
            break;
        case TRtfCommand::Set:
            if (active) commandSet(parameter);
            break;
        case TRtfCommand::Insert: {
            if (!active) break;
            if (!OnMergeRtfStream) throw ERtfLink("OnMergeRtfStream event not assigned");
            const std::optional<std::size_t> loop = openLoop(open);
            std::string stream;
            OnMergeRtfStream(value, stream);
            if (stream.empty()) break;
            if (stream.rfind("{\\rtf1", 0) == 0) {
                try {
                    include(stream, false, loop);
                } catch (const ERtfLevel& e) {
                    throw ERtfLink(std::string(e.what()) + " in file " + value);
                }
            } else {
                writeLiteralText(isValidUtf8(stream) ? stream
                                                     : toUtf8(stream, CodePage::Windows1252));
            }
            break;
        }
        case TRtfCommand::FirstPage:
            if (active && !pageBreaks_.empty())
                pageBreaks_.back().firstPage = pageBreaks_.back().oddPage = true;
            break;
        case TRtfCommand::OddPage:
            if (active && !pageBreaks_.empty()) pageBreaks_.back().oddPage = true;
            break;
        case TRtfCommand::IniSections:
            if (!active) break;
            if (!ini_) throw ERtfField("Merge Inifile not loaded");
            ini_->setSections(value);
            break;
        case TRtfCommand::Comment: startComment(); break;
        case TRtfCommand::Abort:
            if (active) throw ERtfAbort(value);
            break;
        case TRtfCommand::Ignore: {
            const std::string v = upperCase(trimBlanks(value));
            strictFields =
                !(v == "JA" || v == "YES" || v == "TRUE" || v == "1" || v == "J" || v == "Y");
            break;
        }
        case TRtfCommand::None: break;
    }
}

void TRtfExtended::commandFor(const std::string& parameter) {
    const auto fail = [] { return ERtfForCmd("Syntax error in FOR-statement"); };
    const std::size_t eq = parameter.find('=');
    if (eq == std::string::npos) throw fail();
    const std::size_t to = upperCase(parameter).find("TO", eq + 1);
    if (to == std::string::npos) throw fail();
    const std::string name = trimBlanks(unprotectValue(parameter.substr(0, eq)));
    const std::string from = trimBlanks(unprotectValue(parameter.substr(eq + 1, to - eq - 1)));
    const std::string till = trimBlanks(unprotectValue(parameter.substr(to + 2)));
    if (name.empty() || from.empty() || till.empty()) throw fail();
    auto number = [&](const std::string& text) {
        double v;
        try {
            v = evaluateExpression(text);
        } catch (const std::exception&) {
            throw fail();
        }
        if (!std::isfinite(v) || std::fabs(v) > 1e12) throw fail();
        return std::llround(v);
    };
    TForDataItem item{name, number(from), number(till)};
    if (item.end >= item.value && item.end - item.value >= kMaxLoopPasses)
        throw ERtfForCmd("For mange gjennomløp i FOR-setningen (høyst " +
                         std::to_string(kMaxLoopPasses) + ")");
    loops_.push_back(item);
    openLevel(false);
    levels_.back().loop = true;
}

void TRtfExtended::commandSet(const std::string& parameter) {
    const std::size_t first = parameter.find('=');
    if (first == std::string::npos) return;
    const std::size_t second = parameter.find('=', first + 1);
    const std::string name = trimBlanks(unprotectValue(parameter.substr(0, first)));
    // Whether to calculate is decided on the text as it stands, merged
    // values still protected: a merged "(22) 33 44 55" or "2=3" is text.
    const std::string written = trimBlanks(parameter.substr(
        first + 1, second == std::string::npos ? std::string::npos : second - first - 1));
    if (name.empty()) return;
    std::string value = unprotectValue(written);
    if (looksArithmetic(written)) {
        try {
            value = decimalText(evaluateExpression(value));
        } catch (const std::exception&) {
            // not arithmetic after all: kept as written
        }
    }
    setVariable(name, value);
}

// ---------------------------------------------------------------- includes

std::optional<std::size_t> TRtfExtended::openLoop(TRtfCommand open) const {
    if (open != TRtfCommand::For || loops_.empty()) return std::nullopt;
    return loops_.size() - 1;
}

void TRtfExtended::include(const std::string& source, bool isFile,
                           std::optional<std::size_t> loop) {
    if (!outputActive()) return;
    if (includeDepth_ >= kMaxIncludeDepth)
        throw ERtfLink("For dyp nesting av @LINK/@INSERT (høyst " +
                       std::to_string(kMaxIncludeDepth) + " nivåer)");
    std::string rtf = source;
    if (isFile) {
        try {
            rtf = files_->read(source);
        } catch (const EExtRtfException&) {
            throw;
        } catch (const std::exception& e) {
            throw ERtfLink(e.what());
        }
    }
    if (!loop) {
        includeOnce(rtf);
        return;
    }
    // The loop is reached by its place on the stack, never by a pointer:
    // loops of the included text grow the stack and may move it.
    for (long long v = loops_[*loop].value, end = loops_[*loop].end; v <= end; ++v) {
        loops_[*loop].value = v;
        includeOnce(rtf);
    }
}

void TRtfExtended::includeOnce(const std::string& rtf) {
    const std::size_t levelCount = levels_.size();
    TDocumentProperties document;
    std::copy(std::begin(documents_.back().margins), std::end(documents_.back().margins),
              document.margins);
    document.startedAfterBreak = static_cast<int>(pageBreaks_.size()) - 1;
    document.groupDepth = groupDepth_;
    documents_.push_back(document);
    onGroupStart();
    roots_.push_back(std::make_unique<TTextCharHandler>(*this));
    openLevel(false);
    ++includeDepth_;
    try {
        parseDocument(rtf, true);
    } catch (const EExtRtfException&) {
        throw;
    } catch (const ERtfLevel&) {
        throw;
    } catch (const FormatError&) {
        throw ERtfLink("Could not read rtf merge stream");
    } catch (const std::exception& e) {
        throw ERtfLink(std::string("Error while reading merge stream (") + e.what() + ")");
    }
    --includeDepth_;
    const bool balanced = levels_.size() == levelCount + 1 && !roots_.back()->busy();
    if (levels_.size() > levelCount) closeLevel();
    roots_.pop_back();
    onGroupEnd();
    const TDocumentProperties done = documents_.back();
    documents_.pop_back();
    if (done.hasContent) {
        documents_.back().hasContent = true;
        if (done.startedAfterBreak >= 0) {
            TPageBreakProperties& pb =
                pageBreaks_[static_cast<std::size_t>(done.startedAfterBreak)];
            pb.landscape = done.landscape;
            pb.hasHeaderOrFooter = pb.hasHeaderOrFooter || done.hasHeaderOrFooter;
            std::copy(std::begin(done.margins), std::end(done.margins), pb.margins);
        }
    }
    if (!balanced)
        throw ERtfLevel(
            "Unbalanced use of @BEGIN/@END or missing parantees in function parameter list");
}

}  // namespace lagrull
