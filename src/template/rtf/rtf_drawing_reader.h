#pragma once
// Readers of drawing objects ("do") and shapes ("shp", "shpgrp").
//
// A shape is kept as a drawing object when its kind is one the program
// draws (rectangles, ellipses, lines, text boxes, pictures, groups of
// them); otherwise its result text ("shprslt") is read into the document
// in its place. Text inside a drawing is read by the document builder
// through TRtfTextReader.

#include <memory>
#include <string>

#include "template/rtf/rtf_document_model.h"
#include "template/rtf/rtf_parser.h"

namespace lagrull {

class TRtfTextReader {
public:
    virtual ~TRtfTextReader() = default;
    // Reads the rest of the current group as paragraphs into `sequence`.
    virtual void readTextInto(TTextSequence& sequence) = 0;
    // Reads the rest of the current group into the document where it stands.
    virtual void readResult() = 0;
};

// Reads the rest of a "do" group.
class TRtfDrawingReader : public TRtfGroupParser {
public:
    TRtfDrawingReader(TRtfTokenizer& tokens, TRtfTextReader& text)
        : TRtfGroupParser(tokens), text_(text), object_(std::make_unique<TDrawingObject>()) {}
    void read() { run(); }
    std::unique_ptr<TDrawingObject> take() { return std::move(object_); }

protected:
    void onWord(const TRtfToken& t) override;
    bool onDestination(const TRtfToken& first, bool ignorable) override;

private:
    TDrawingObject& current();

    TRtfTextReader& text_;
    std::unique_ptr<TDrawingObject> object_;
    bool inGroup_ = false;
    bool pendingX_ = false;  // a "dpptx" waits for its "dppty"
    int x_ = 0;
};

// Reads the rest of a "shp" or "shpgrp" group.
class TRtfShapeReader : public TRtfGroupParser {
public:
    TRtfShapeReader(TRtfTokenizer& tokens, TRtfTextReader& text, bool group, int nesting = 0);
    void read() { run(); }
    // True when the shape is one the program draws.
    bool recognised() const;
    std::unique_ptr<TDrawingObject> take() { return std::move(shape_); }
    bool resultRead() const { return resultRead_; }

protected:
    void onWord(const TRtfToken& t) override;
    bool onDestination(const TRtfToken& first, bool ignorable) override;

private:
    void property(const std::string& name, const std::string& value);

    TRtfTextReader& text_;
    std::unique_ptr<TDrawingObject> shape_;
    bool group_;
    int nesting_;
    int shapeType_ = -1;
    std::string name_;  // of the property being read
    bool resultRead_ = false;
    int inline_ = 0;  // "shpinst" groups open inside one another
};

}  // namespace lagrull
