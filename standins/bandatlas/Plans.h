// The channel plans the countries share.
#pragma once

struct ChannelPlan {
    int nFirst;
    int nLast;
    const int* pFrequencies;  // nLast - nFirst + 1 values in Hz
};

extern const ChannelPlan kChinaAir;     // DS-1 .. DS-68
extern const ChannelPlan kChinaCable;   // DS and Z channels up to 862 MHz
extern const ChannelPlan kUsaAir;       // 2 .. 69
extern const ChannelPlan kUsaCable;     // cable 1 .. 125
extern const ChannelPlan kJapanAir;     // 1 .. 62
extern const ChannelPlan kJapanCable;   // 1 .. 12 and C13 .. C63
extern const ChannelPlan kEuropeAir;    // E2 .. E12 and 21 .. 69, 7/8 MHz raster
extern const ChannelPlan kEuropeCable;  // with the special channels S1 .. S41
extern const ChannelPlan kUhfAir;       // UHF 21 .. 69 only
extern const ChannelPlan kUkAir;        // UHF 21 .. 68
extern const ChannelPlan kIrelandAir;   // VHF A .. J and UHF 21 .. 69
extern const ChannelPlan kFranceAir;    // L2 .. L10 and UHF 21 .. 69
extern const ChannelPlan kFranceCable;  // with the special channels S1 .. S41
extern const ChannelPlan kOirtAir;      // R1 .. R12 and UHF 21 .. 69
extern const ChannelPlan kOirtCable;    // with the cable channels SK1 .. SK40
