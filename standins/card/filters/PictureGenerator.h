// The pictures the simulated card's decoder "sees": a distinct test picture
// per station with its name, a running clock and a moving block (so that
// frames visibly advance), snow when the tuner is off every station, and
// pictures of their own for the composite and S-Video inputs. Output is
// packed YUY2, top line first.
//
// The still part of a picture is drawn once and kept; a frame costs a copy
// plus the clock and the block, which keeps a full-size frame well within
// the frame budget.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

namespace card {

enum PictureKind { kPictureStation, kPictureSnow, kPictureComposite, kPictureSVideo };

struct PictureSource {
    PictureKind kind;
    int pattern;       // the station's test picture
    std::string name;  // the station's name
};

struct Yuv {
    BYTE y, u, v;
};
Yuv RgbToYuv(int r, int g, int b);

class PictureGenerator {
public:
    PictureGenerator();
    // Draws one frame into a buffer of width * 2 * height bytes. width must
    // be even. frameIndex moves the block; clock is the time shown.
    void Draw(BYTE* frame, int width, int height, const PictureSource& source, LONGLONG frameIndex,
              const SYSTEMTIME& clock);

private:
    void BuildBackground(int width, int height, const PictureSource& source);
    void BuildSnow(int width, int height);

    std::vector<BYTE> background_;
    int bgWidth_, bgHeight_;
    PictureSource bgSource_;
    bool bgValid_;
    std::vector<BYTE> snow_;
    int snowSize_;
    unsigned rng_;
};

// Drawing on a YUY2 frame, clipped to it. Pixel pairs share their chroma, so
// left edges and widths are taken to whole pairs.
void FillRect(BYTE* frame, int width, int height, int x, int y, int w, int h, Yuv colour);
// Text in the tiny font at the given scale; returns the width drawn.
int DrawText(BYTE* frame, int width, int height, int x, int y, const std::string& text, int scale,
             Yuv colour);
int TextWidth(const std::string& text, int scale);

}  // namespace card
