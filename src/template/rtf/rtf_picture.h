#pragma once
// A picture group ("pict"): its kind, sizes, crop and scale, and its data.
// A Windows metafile is stored with the 22-byte placeable header in front,
// so that its data are a complete metafile file.

#include <cstdint>
#include <string>

#include "template/rtf/rtf_parser.h"

namespace lagrull {

enum class TRtfPictureKind {
    Unknown,
    Emf,      // "emfblip"
    Png,      // "pngblip"
    Jpeg,     // "jpegblip"
    MacPict,  // "macpict"
    Os2Meta,  // "pmmetafile"
    Wmf,      // "wmetafile"
    WmfExt,   // "wmetafileext"
    Dib,      // "dibitmap"
    Bitmap,   // "wbitmap"
};

const char* pictureKindName(TRtfPictureKind kind);

struct TRtfPicture {
    TRtfPictureKind kind = TRtfPictureKind::Unknown;
    int kindParam = 0;  // the word's parameter: mapping mode, bitmap type
    int bitsPerPixel = 0, planes = 0, widthBytes = 0;
    int picw = 0, pich = 0;          // pixels, or hundredths of mm for metafiles
    int picwGoal = 0, pichGoal = 0;  // twips
    int cropTop = 0, cropBottom = 0, cropLeft = 0, cropRight = 0;  // twips
    int scaleX = 100, scaleY = 100;                                // percent
    bool picbmp = false;
    int picbpp = 0;
    std::string data;  // bytes; for Windows metafiles with the placeable header

    // The size on paper in twips: the goal size (or the natural size) scaled,
    // less the crops.
    int widthTwips() const;
    int heightTwips() const;
};

// Reads the rest of a "pict" group.
class TRtfPictReader : public TRtfGroupParser {
public:
    TRtfPictReader(TRtfTokenizer& tokens, TRtfPicture& picture)
        : TRtfGroupParser(tokens), picture_(picture) {}
    void read();

protected:
    void onText(const TRtfToken& t) override;
    void onWord(const TRtfToken& t) override;
    void onBinary(const TRtfToken& t) override;

private:
    TRtfPicture& picture_;
    int nibble_ = -1;  // a first hexadecimal digit waiting for its second
};

// The placeable-metafile header for a metafile of picw x pich hundredths of
// a millimetre.
std::string placeableMetafileHeader(int picw, int pich);

}  // namespace lagrull
