#include "template/rtf/rtf_drawing_reader.h"

#include <charconv>

#include "template/rtf/rtf_picture.h"
#include "template/rtf/rtf_vocabulary.h"

namespace lagrull {

namespace {

constexpr int kMaxShapeNesting = 6;
constexpr std::size_t kMaxPoints = 10000;
constexpr std::size_t kMaxChildren = 1000;

// Shape colours are written as the BGR value of a Windows colour.
TRtfColor fromBgr(long long v) {
    return rtfColor(static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF),
                    static_cast<int>((v >> 16) & 0xFF));
}

long long number(const std::string& text) {
    long long v = 0;
    const std::string t = trimBlanks(text);
    std::from_chars(t.data(), t.data() + t.size(), v);
    return v;
}

void setRed(TRtfColor& c, int v) { c = rtfColor(v, greenOf(c), blueOf(c)); }
void setGreen(TRtfColor& c, int v) { c = rtfColor(redOf(c), v, blueOf(c)); }
void setBlue(TRtfColor& c, int v) { c = rtfColor(redOf(c), greenOf(c), v); }

}  // namespace

TDrawingObject& TRtfDrawingReader::current() {
    if (inGroup_ && !object_->children.empty()) return *object_->children.back();
    return *object_;
}

void TRtfDrawingReader::onWord(const TRtfToken& t) {
    const RtfWord w = lookupRtfWord(t.word());
    const int v = t.paramOr(0);
    const auto kind = [&](TDrawingKind k) {
        if (inGroup_ && object_->children.size() < kMaxChildren) {
            object_->children.push_back(std::make_unique<TDrawingObject>());
            object_->children.back()->horzRef = object_->horzRef;
            object_->children.back()->vertRef = object_->vertRef;
        }
        current().shape = k;
        pendingX_ = false;
    };
    TDrawingObject& o = current();
    switch (w) {
        case RtfWord::w_dpline: kind(TDrawingKind::Line); break;
        case RtfWord::w_dprect: kind(TDrawingKind::Rectangle); break;
        case RtfWord::w_dpellipse: kind(TDrawingKind::Ellipse); break;
        case RtfWord::w_dparc: kind(TDrawingKind::Arc); break;
        case RtfWord::w_dppolyline: kind(TDrawingKind::Polyline); break;
        case RtfWord::w_dppolygon: kind(TDrawingKind::Polygon); break;
        case RtfWord::w_dptxbx: kind(TDrawingKind::TextBox); break;
        case RtfWord::w_dpcallout: kind(TDrawingKind::Callout); break;
        case RtfWord::w_dpgroup:
            if (!inGroup_) {
                object_->shape = TDrawingKind::Group;
                inGroup_ = true;
            }
            break;
        case RtfWord::w_dpendgroup: inGroup_ = false; break;
        case RtfWord::w_dproundr:
            if (o.shape == TDrawingKind::Rectangle) o.shape = TDrawingKind::RoundRectangle;
            break;
        case RtfWord::w_dpx: o.left = v; break;
        case RtfWord::w_dpy: o.top = v; break;
        case RtfWord::w_dpxsize: o.width = v; break;
        case RtfWord::w_dpysize: o.height = v; break;
        case RtfWord::w_dpptx:
            x_ = v;
            pendingX_ = true;
            break;
        case RtfWord::w_dppty:
            if (pendingX_ && o.points.size() < kMaxPoints) o.points.push_back({x_, v});
            pendingX_ = false;
            break;
        case RtfWord::w_dplinew: o.lineWidth = v; break;
        case RtfWord::w_dplinecor: setRed(o.lineColor, v); break;
        case RtfWord::w_dplinecog: setGreen(o.lineColor, v); break;
        case RtfWord::w_dplinecob: setBlue(o.lineColor, v); break;
        case RtfWord::w_dplinehollow: o.line = false; break;
        case RtfWord::w_dpfillbgcr: setRed(o.fillColor, v); break;
        case RtfWord::w_dpfillbgcg: setGreen(o.fillColor, v); break;
        case RtfWord::w_dpfillbgcb: setBlue(o.fillColor, v); break;
        case RtfWord::w_dpfillpat: o.filled = v != 0; break;
        case RtfWord::w_dparcflipx: o.flipX = v != 0; break;
        case RtfWord::w_dparcflipy: o.flipY = v != 0; break;
        case RtfWord::w_dobxpage: o.horzRef = TDrawingHorzRef::Page; break;
        case RtfWord::w_dobxmargin: o.horzRef = TDrawingHorzRef::Margin; break;
        case RtfWord::w_dobxcolumn: o.horzRef = TDrawingHorzRef::Column; break;
        case RtfWord::w_dobypage: o.vertRef = TDrawingVertRef::Page; break;
        case RtfWord::w_dobymargin: o.vertRef = TDrawingVertRef::Margin; break;
        case RtfWord::w_dobypara: o.vertRef = TDrawingVertRef::Paragraph; break;
        default: break;
    }
}

bool TRtfDrawingReader::onDestination(const TRtfToken& first, bool /*ignorable*/) {
    if (!first.is("dptxbxtext")) return false;
    text_.readTextInto(current().text);
    return true;
}

TRtfShapeReader::TRtfShapeReader(TRtfTokenizer& tokens, TRtfTextReader& text, bool group,
                                 int nesting)
    : TRtfGroupParser(tokens),
      text_(text),
      shape_(std::make_unique<TDrawingObject>()),
      group_(group),
      nesting_(nesting) {
    if (group_) shape_->shape = TDrawingKind::Group;
}

bool TRtfShapeReader::recognised() const {
    if (group_) return !shape_->children.empty();
    switch (shapeType_) {
        case 1:
        case 2:
        case 3:
        case 20:
        case 202: return true;
        case 75: return shape_->picture != nullptr;
        default: return false;
    }
}

void TRtfShapeReader::onWord(const TRtfToken& t) {
    TDrawingObject& s = *shape_;
    const int v = t.paramOr(0);
    switch (lookupRtfWord(t.word())) {
        case RtfWord::w_shpleft: s.left = v; break;
        case RtfWord::w_shptop: s.top = v; break;
        case RtfWord::w_shpright:
            s.width = static_cast<int>(static_cast<long long>(v) - s.left);
            break;
        case RtfWord::w_shpbottom:
            s.height = static_cast<int>(static_cast<long long>(v) - s.top);
            break;
        case RtfWord::w_shpz: s.z = v; break;
        case RtfWord::w_shpbxpage: s.horzRef = TDrawingHorzRef::Page; break;
        case RtfWord::w_shpbxmargin: s.horzRef = TDrawingHorzRef::Margin; break;
        case RtfWord::w_shpbxcolumn: s.horzRef = TDrawingHorzRef::Column; break;
        case RtfWord::w_shpbypage: s.vertRef = TDrawingVertRef::Page; break;
        case RtfWord::w_shpbymargin: s.vertRef = TDrawingVertRef::Margin; break;
        case RtfWord::w_shpbypara: s.vertRef = TDrawingVertRef::Paragraph; break;
        default: break;
    }
}

void TRtfShapeReader::property(const std::string& name, const std::string& value) {
    TDrawingObject& s = *shape_;
    const long long v = number(value);
    if (name == "shapeType") {
        shapeType_ = static_cast<int>(v);
        switch (shapeType_) {
            case 1: s.shape = TDrawingKind::Rectangle; break;
            case 2: s.shape = TDrawingKind::RoundRectangle; break;
            case 3: s.shape = TDrawingKind::Ellipse; break;
            case 20: s.shape = TDrawingKind::Line; break;
            case 202: s.shape = TDrawingKind::TextBox; break;
            case 75: s.shape = TDrawingKind::Picture; break;
            default: break;
        }
        if (shapeType_ == 1 || shapeType_ == 2 || shapeType_ == 3 || shapeType_ == 202)
            s.filled = true;
    } else if (name == "fillColor") {
        s.fillColor = fromBgr(v);
    } else if (name == "lineColor") {
        s.lineColor = fromBgr(v);
    } else if (name == "lineWidth") {
        s.lineWidth = static_cast<int>(v / 635);  // English metric units to twips
    } else if (name == "fFilled") {
        s.filled = v != 0;
    } else if (name == "fLine") {
        s.line = v != 0;
    } else if (name == "fFlipH") {
        s.flipX = v != 0;
    } else if (name == "fFlipV") {
        s.flipY = v != 0;
    }
}

bool TRtfShapeReader::onDestination(const TRtfToken& first, bool /*ignorable*/) {
    switch (lookupRtfWord(first.word())) {
        case RtfWord::w_sp: return false;  // read in line: its "sn" and "sv" come to this parser
        case RtfWord::w_shpinst:
            if (inline_ >= kMaxShapeNesting) {
                skipGroup();
                return true;
            }
            ++inline_;
            parseNested();
            --inline_;
            return true;
        case RtfWord::w_sn: {
            TRtfString n(tokens_, CodePage::Windows1252);
            n.run();
            name_ = trimBlanks(n.text());
            return true;
        }
        case RtfWord::w_sv: {
            if (name_ == "pib") return false;  // holds the picture group, read in line
            TRtfString v(tokens_, CodePage::Windows1252);
            v.run();
            property(name_, v.text());
            return true;
        }
        case RtfWord::w_pict: {
            TRtfPicture picture;
            TRtfPictReader reader(tokens_, picture);
            reader.read();
            shape_->picture = std::make_unique<TPrintablePicture>(std::move(picture));
            return true;
        }
        case RtfWord::w_shptxt: text_.readTextInto(shape_->text); return true;
        case RtfWord::w_shprslt:
            if (recognised()) {
                skipGroup();
            } else {
                resultRead_ = true;
                text_.readResult();
            }
            return true;
        case RtfWord::w_shp:
        case RtfWord::w_shpgrp: {
            if (!group_ || nesting_ >= kMaxShapeNesting ||
                shape_->children.size() >= kMaxChildren) {
                skipGroup();
                return true;
            }
            TRtfShapeReader child(tokens_, text_, first.is("shpgrp"), nesting_ + 1);
            child.read();
            if (child.recognised()) shape_->children.push_back(child.take());
            return true;
        }
        default: return false;
    }
}

}  // namespace lagrull
