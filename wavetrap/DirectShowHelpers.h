// Small walks over a filter's pins that both engines need.
#pragma once
#include <windows.h>
#include <dshow.h>

// The n-th pin (from 0) of that direction in enumeration order.
HRESULT GetPin(IBaseFilter* pFilter, PIN_DIRECTION dir, int n, IPin** ppPin);
// The first pin of that direction that is connected.
HRESULT FindConnectedPin(IBaseFilter* pFilter, PIN_DIRECTION dir, IPin** ppPin);
// The filter on the other end of a connected pin.
HRESULT PeerFilter(IPin* pPin, IBaseFilter** ppFilter);
// Frees a media type handed out by GetFormat or an enumerator, with its block.
void FreeMediaTypeBlock(AM_MEDIA_TYPE* pmt);
