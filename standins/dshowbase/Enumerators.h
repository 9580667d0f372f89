// The enumerators a filter and its pins hand out.
#pragma once
#include <dshow.h>

namespace ds {

class Filter;
class Pin;

HRESULT CreatePinEnumerator(Filter* filter, ULONG position, IEnumPins** out);
HRESULT CreateMediaTypeEnumerator(Pin* pin, ULONG position, IEnumMediaTypes** out);

}  // namespace ds
