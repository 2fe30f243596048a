#include "clearing/bbs_records.h"

#include <algorithm>
#include <vector>

#include "common/error.h"
#include "common/text_codec.h"

namespace lagrull::clearing {

TBBSHeader::TBBSHeader() : TBBSItem("NY" + Fill(' ', kRecordLength - 2)) {}

void TBBSHeader::SetCodes(std::string_view service, std::string_view type,
                          std::string_view record) {
    SetField(3, 4, service);
    SetField(5, 6, type);
    SetField(7, 8, record);
}

TBBSFrameForsendelse::TBBSFrameForsendelse(std::string_view recordType) {
    SetCodes("00", "00", recordType);
}

TBBSStart::TBBSStart() : TBBSFrameForsendelse("10") {
    SetForsendelsesnr("");
    SetField(24, 31, "00008080");
    SetField(32, 80, Fill('0', 49));
}

std::string TBBSStart::GetForsendelsesnr() const {
    const std::string number = GetField(17, 23);
    return number.substr(std::min(number.find_first_not_of('0'), number.size()));
}

TBBSSlutt::TBBSSlutt() : TBBSFrameForsendelse("89") { SetField(48, 80, Fill('0', 33)); }

TBBSFrameOppdrag::TBBSFrameOppdrag(std::string_view service, std::string_view type,
                                   std::string_view record) {
    SetCodes(service, type, record);
}

TBBSStartOppdrag::TBBSStartOppdrag(std::string_view service, std::string_view type)
    : TBBSFrameOppdrag(service, type, "20") {
    SetField(9, 17, Fill('0', 9));
    SetField(36, 80, Fill('0', 45));
}

TBBSSluttOppdrag::TBBSSluttOppdrag(std::string_view service, std::string_view type)
    : TBBSFrameOppdrag(service, type, "88") {
    SetField(54, 80, Fill('0', 27));
}

TBBSTrans::TBBSTrans(std::string_view service, std::string_view type, std::string_view record) {
    SetCodes(service, type, record);
}

TBBSTrans1::TBBSTrans1(std::string_view service, std::string_view type)
    : TBBSTrans(service, type, "30") {
    SetField(22, 32, Fill('0', 11));
    SetField(75, 80, Fill('0', 6));
}

TBBSTrans2::TBBSTrans2(std::string_view service, std::string_view type)
    : TBBSTrans(service, type, "31") {
    SetField(26, 50, Fill('0', 25));
    SetField(76, 80, Fill('0', 5));
}

TBBSRemAdrRec1::TBBSRemAdrRec1() : TBBSTrans("04", "03", "40") { SetField(78, 80, "000"); }

TBBSRemAdrRec2::TBBSRemAdrRec2() : TBBSTrans("04", "03", "41") { SetField(79, 80, "00"); }

TBBSSpesifikasjon::TBBSSpesifikasjon(std::string_view service, std::string_view type, Layout layout)
    : TBBSTrans(service, type, "49"), layout_(layout) {}

TBBSAGSpesifikasjon::TBBSAGSpesifikasjon(std::string_view service, std::string_view type)
    : TBBSSpesifikasjon(service, type, Layout{17, 20, 21}) {
    SetField(16, 16, "4");
    SetField(61, 80, Fill('0', 20));
}

TBBSRemSpesifikasjon::TBBSRemSpesifikasjon(std::string_view service, std::string_view type)
    : TBBSSpesifikasjon(service, type, Layout{16, 19, 20}) {
    SetField(60, 80, Fill('0', 21));
}

std::unique_ptr<TBBSSpesifikasjon> makeSpesifikasjon(std::string_view service,
                                                     std::string_view type) {
    if (service == "21") return std::make_unique<TBBSAGSpesifikasjon>(service, type);
    if (service == "04") return std::make_unique<TBBSRemSpesifikasjon>(service, type);
    throw FormatError("Ukjent spesifikasjonstype");
}

std::string abbreviatedName(std::string_view fullName) {
    // Words of the name with runs of blanks reduced to one.
    std::vector<std::u32string> words;
    std::u32string word;
    for (const char32_t c : toU32(fullName)) {
        if (c == U' ') {
            if (!word.empty()) words.push_back(std::move(word));
            word.clear();
        } else {
            word += c;
        }
    }
    if (!word.empty()) words.push_back(std::move(word));

    std::u32string result;
    for (std::size_t i = 0; i + 1 < words.size(); ++i) {
        result += words[i].front();
        result += U' ';
    }
    if (!words.empty()) result += words.back();
    return upperCase(fromU32(result));
}

}  // namespace lagrull::clearing
