#include "template/rtf/rtf_vocabulary.h"

#include <unordered_map>

namespace lagrull {

RtfWord lookupRtfWord(std::string_view word) {
    static const std::unordered_map<std::string_view, RtfWord> kWords = {
#define LAGRULL_RTF_WORD_ENTRY(name) {#name, RtfWord::w_##name},
        LAGRULL_RTF_WORDS(LAGRULL_RTF_WORD_ENTRY)
#undef LAGRULL_RTF_WORD_ENTRY
    };
    auto it = kWords.find(word);
    return it == kWords.end() ? RtfWord::unknown : it->second;
}

}  // namespace lagrull
