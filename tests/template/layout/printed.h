#pragma once
// A document printed on the recording printer system, with look-ups of what
// was drawn where.
#include <algorithm>
#include <string>
#include <vector>

#include "template/layout/recording_device.h"
#include "template/layout/rtf_document_builder.h"

namespace lagrull {

struct Printed {
    TRecordingPrinterSystem system;
    void print(const std::string& rtf, const TPrintOptions* options = nullptr) {
        TRTFDocumentBuilder builder(system);
        builder.SetPrintOptions(options);
        builder.PrintRTFStream(rtf);
    }
    const TRecording& r() const { return system.recording; }
    // The sheet on which a text was drawn, 0 when it was not.
    int sheetOf(const std::string& text) const {
        for (const auto& t : r().texts)
            if (t.text == text) return t.sheet;
        return 0;
    }
    std::vector<const TRecordedText*> all(const std::string& text) const {
        std::vector<const TRecordedText*> out;
        for (const auto& t : r().texts)
            if (t.text == text) out.push_back(&t);
        return out;
    }
    int count(const std::string& call) const {
        return static_cast<int>(std::count(r().calls.begin(), r().calls.end(), call));
    }
};

}  // namespace lagrull
