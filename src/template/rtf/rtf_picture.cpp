#include "template/rtf/rtf_picture.h"

#include <algorithm>
#include <array>

namespace lagrull {

namespace {

struct KindWord {
    std::string_view word;
    TRtfPictureKind kind;
};
constexpr std::array<KindWord, 9> kKinds = {{
    {"emfblip", TRtfPictureKind::Emf},
    {"pngblip", TRtfPictureKind::Png},
    {"jpegblip", TRtfPictureKind::Jpeg},
    {"macpict", TRtfPictureKind::MacPict},
    {"pmmetafile", TRtfPictureKind::Os2Meta},
    {"wmetafile", TRtfPictureKind::Wmf},
    {"wmetafileext", TRtfPictureKind::WmfExt},
    {"dibitmap", TRtfPictureKind::Dib},
    {"wbitmap", TRtfPictureKind::Bitmap},
}};

int hexValue(unsigned char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool isMetafile(TRtfPictureKind k) {
    return k == TRtfPictureKind::Wmf || k == TRtfPictureKind::WmfExt;
}

// Hundredths of a millimetre to twips.
long long hmmToTwips(long long hmm) { return (hmm * 1440 + 1270) / 2540; }

void putWord(std::string& out, std::uint16_t v) {
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>(v >> 8));
}

int scaled(long long size, int percent, int cropA, int cropB) {
    const long long s = std::clamp<long long>(size, 0, 1LL << 32);
    const long long p = std::clamp(percent, 0, 100000);
    const long long v = s * p / 100 - cropA - cropB;
    return static_cast<int>(std::clamp<long long>(v, 0, 1LL << 30));
}

}  // namespace

const char* pictureKindName(TRtfPictureKind kind) {
    for (const auto& k : kKinds)
        if (k.kind == kind) return k.word.data();
    return "ukjent";
}

std::string placeableMetafileHeader(int picw, int pich) {
    const auto clampWord = [](long long v) {
        return static_cast<std::uint16_t>(
            static_cast<std::int16_t>(std::clamp<long long>(v, -32768, 32767)));
    };
    std::array<std::uint16_t, 10> words = {
        0xCDD7,
        0x9AC6,  // key 0x9AC6CDD7
        0,       // handle
        0,
        0,  // bounds left, top
        clampWord(hmmToTwips(picw)),
        clampWord(hmmToTwips(pich)),
        1440,  // units per inch
        0,
        0,  // reserved
    };
    std::uint16_t checksum = 0;
    for (std::uint16_t w : words) checksum ^= w;
    std::string out;
    for (std::uint16_t w : words) putWord(out, w);
    putWord(out, checksum);
    return out;
}

int TRtfPicture::widthTwips() const {
    long long natural = picwGoal;
    if (natural <= 0)
        natural = isMetafile(kind) || kind == TRtfPictureKind::Emf ? hmmToTwips(picw) : picw * 15LL;
    return scaled(natural, scaleX, cropLeft, cropRight);
}

int TRtfPicture::heightTwips() const {
    long long natural = pichGoal;
    if (natural <= 0)
        natural = isMetafile(kind) || kind == TRtfPictureKind::Emf ? hmmToTwips(pich) : pich * 15LL;
    return scaled(natural, scaleY, cropTop, cropBottom);
}

void TRtfPictReader::read() {
    run();
    if (isMetafile(picture_.kind))
        picture_.data.insert(0, placeableMetafileHeader(picture_.picw, picture_.pich));
}

void TRtfPictReader::onText(const TRtfToken& t) {
    const int h = hexValue(t.ch);
    if (h < 0) return;  // blanks between the digits
    if (nibble_ < 0) {
        nibble_ = h;
        return;
    }
    picture_.data.push_back(static_cast<char>(nibble_ * 16 + h));
    nibble_ = -1;
}

void TRtfPictReader::onBinary(const TRtfToken& t) { picture_.data.append(t.binary); }

void TRtfPictReader::onWord(const TRtfToken& t) {
    const std::string_view w = t.word();
    for (const auto& k : kKinds) {
        if (k.word == w) {
            picture_.kind = k.kind;
            picture_.kindParam = t.paramOr(0);
            return;
        }
    }
    const int v = t.paramOr(0);
    if (w == "wbmbitspixel" || w == "wbmbitsperpixel")
        picture_.bitsPerPixel = v;
    else if (w == "wbmplanes")
        picture_.planes = v;
    else if (w == "wbmwidthbytes")
        picture_.widthBytes = v;
    else if (w == "picw")
        picture_.picw = v;
    else if (w == "pich")
        picture_.pich = v;
    else if (w == "picwgoal")
        picture_.picwGoal = v;
    else if (w == "pichgoal")
        picture_.pichGoal = v;
    else if (w == "piccropt")
        picture_.cropTop = v;
    else if (w == "piccropb")
        picture_.cropBottom = v;
    else if (w == "piccropl")
        picture_.cropLeft = v;
    else if (w == "piccropr")
        picture_.cropRight = v;
    else if (w == "picscalex")
        picture_.scaleX = t.paramOr(100);
    else if (w == "picscaley")
        picture_.scaleY = t.paramOr(100);
    else if (w == "picbmp")
        picture_.picbmp = true;
    else if (w == "picbpp")
        picture_.picbpp = v;
}

}  // namespace lagrull
