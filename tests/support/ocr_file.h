#pragma once
// Return files of the clearing house for tests and benchmarks: OCR giro
// payments and AvtaleGiro agreement records in the "NY" layout, 80
// characters a line, CR LF after each.

#include <cstdint>
#include <string>

namespace lagrull::test {

class OcrFile {
public:
    OcrFile() {
        add("NY000010"
            "00000000"
            "0001234"
            "00008080");
        add("NY090020"
            "000000000"
            "0000001");
    }
    // A payment of `ore` øre settled on `date` ("DDMMYY"); a negative
    // amount is a reversal (transaction type 18, "-" before the amount).
    OcrFile& payment(const std::string& kid, std::int64_t ore, const std::string& date = "150324") {
        std::string amount = std::to_string(ore < 0 ? -ore : ore);
        amount.insert(0, 17 - amount.size(), '0');
        std::string k = kid;
        k.insert(0, 25 - k.size(), ' ');
        add(std::string("NY09") + (ore < 0 ? "18" : "10") + "30" + "0000001" + date +
            std::string(10, '0') + (ore < 0 ? "-" : "0") + amount + k);
        add("NY091031" + std::string(72, '0'));
        return *this;
    }
    // An agreement record: type '0' full list, '1' new or changed, '2' deleted.
    OcrFile& agreement(char type, const std::string& kid, char notice) {
        std::string k = kid;
        k.insert(0, 25 - k.size(), ' ');
        add(std::string("NY2194700000001") + type + k + notice);
        return *this;
    }
    std::string text() const {
        std::string end = "NY000089" + std::string(72, '0');
        return text_ + end + "\r\n";
    }

private:
    void add(std::string line) {
        line.resize(80, '0');
        text_ += line + "\r\n";
    }
    std::string text_;
};

}  // namespace lagrull::test
