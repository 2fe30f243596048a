#pragma once
// TRtfExtendedGroup: the template engine's reader of one RTF text (the
// template, an included document, or the result of a field), handing every
// token to the engine. The document header is read here; for an included
// document its tables are merged into the output's and its font and colour
// numbers renumbered.

#include <map>

#include "template/rtf/rtf_file_parser.h"

namespace lagrull {

class TRtfExtended;

class TRtfExtendedGroup : public TRtfFileParser {
public:
    enum class Mode { Document, Included, Fragment };
    TRtfExtendedGroup(TRtfTokenizer& tokens, TRtfExtended& engine, Mode mode)
        : TRtfFileParser(tokens), engine_(engine), mode_(mode) {}

    // Reads a fragment (no "{\rtf" around it) to its end.
    void readFragment();

protected:
    void onText(const TRtfToken& t) override;
    void onWord(const TRtfToken& t) override;
    void onBinary(const TRtfToken& t) override;
    bool onDestination(const TRtfToken& first, bool ignorable) override;
    void onGroupStart() override;
    void onGroupEnd() override;

private:
    TRtfExtended& engine_;
    Mode mode_;
    std::map<int, int> fontMap_, colorMap_;
};

}  // namespace lagrull
