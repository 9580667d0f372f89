// The ways from a physical input (tuner, composite, S-Video) through the
// card's crossbars to the video capture device, and switching between them.
#pragma once
#include "AfxCore.h"
#include <dshow.h>

class CCrossbar {
public:
    // One crossbar on the way from the device outwards.
    struct Element {
        IAMCrossbar* pCrossbar;  // one reference
        long nVideoIn;
        long nVideoOut;
        long nAudioIn;           // -1: none
        long nAudioOut;          // -1: none
        long nPhysicalType;      // of the input
        int nDepth;              // 0: next to the device
        Element* pPrevious;      // towards the device; NULL at depth 0
    };

    // Builds the routing list from the device's analog video input pin. *phr is
    // S_OK or the failure; keep the object only when it is not negative.
    CCrossbar(IPin* pStartPin, HRESULT* phr);
    ~CCrossbar();

    HRESULT GetInputCount(LONG* pCount) const;
    HRESULT GetInputType(int index, LONG* pType) const;
    HRESULT GetInputName(int index, char* pszName, int size) const;
    // Routes every crossbar of the entry, from the device outwards, video and,
    // when related, audio. Returns the last video Route's result.
    HRESULT SetInputIndex(int index);
    int GetCurrentIndex() const { return m_nCurrent; }

    // The text of a physical connector type ("Video Tuner" ... "Unknown").
    static LPCSTR TypeName(long type);

private:
    void BuildRoutingList(IPin* pStartPin, Element* pPrevious, int depth);
    Element* Entry(int index) const;

    IPin* m_pStartPin;        // not owned
    CPtrList* m_pRoutingList; // Element* of the deepest crossbar of each path
    CPtrArray m_allElements;  // every element made, freed with the object
    int m_nCurrent;
};
