// Pins of our filters. Pins live inside their filter and share its reference
// count. The base answers IPin's questions and, when given a pin category,
// reports it through IKsPropertySet. OutputPin connects to a downstream input
// pin and agrees an allocator with it; InputPin accepts connections and
// receives samples through IMemInputPin.
#pragma once
#include "ComObject.h"
#include "MediaType.h"
#include <dshow.h>
#include <string>

namespace ds {

class Filter;

class Pin : public IPin, public IKsPropertySet {
public:
    Pin(Filter* filter, PIN_DIRECTION dir, const wchar_t* name, const wchar_t* id = NULL);
    virtual ~Pin();
    Pin(const Pin&) = delete;
    Pin& operator=(const Pin&) = delete;

    // The pin category reported through IKsPropertySet; a pin without one
    // does not answer IKsPropertySet at all.
    void SetCategory(REFGUID category);

    // IUnknown: the filter's reference count.
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    // IPin, the parts common to both directions
    STDMETHODIMP ConnectedTo(IPin** pin) override;
    STDMETHODIMP ConnectionMediaType(AM_MEDIA_TYPE* mt) override;
    STDMETHODIMP QueryPinInfo(PIN_INFO* info) override;
    STDMETHODIMP QueryDirection(PIN_DIRECTION* dir) override;
    STDMETHODIMP QueryId(LPWSTR* id) override;
    STDMETHODIMP QueryAccept(const AM_MEDIA_TYPE* mt) override;
    STDMETHODIMP EnumMediaTypes(IEnumMediaTypes** out) override;
    STDMETHODIMP QueryInternalConnections(IPin** pins, ULONG* count) override;
    STDMETHODIMP NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override;
    // IKsPropertySet
    STDMETHODIMP Set(REFGUID set, DWORD id, LPVOID instance, DWORD instanceSize, LPVOID data,
                     DWORD dataSize) override;
    STDMETHODIMP Get(REFGUID set, DWORD id, LPVOID instance, DWORD instanceSize, LPVOID data,
                     DWORD dataSize, DWORD* returned) override;
    STDMETHODIMP QuerySupported(REFGUID set, DWORD id, DWORD* support) override;

    // Operations a concrete pin supplies.
    // S_OK when the pin can carry this type, else an error (usually S_FALSE
    // or VFW_E_TYPE_NOT_ACCEPTED).
    virtual HRESULT CheckMediaType(const AM_MEDIA_TYPE* mt) = 0;
    // The pin's preferred types in order; VFW_S_NO_MORE_ITEMS past the last.
    virtual HRESULT GetMediaType(int index, AM_MEDIA_TYPE* mt);
    // Interfaces beyond IPin and IKsPropertySet.
    virtual HRESULT QueryExtra(REFIID iid, void** out) { return E_NOINTERFACE; }
    // After the type is agreed (and for outputs the allocator); a failure
    // undoes the connection.
    virtual HRESULT OnConnected() { return S_OK; }
    virtual void OnDisconnected() {}
    // State changes of the filter: stopped -> paused, -> stopped, -> running.
    virtual HRESULT Active() { return S_OK; }
    virtual HRESULT Inactive() { return S_OK; }
    virtual HRESULT Run(REFERENCE_TIME start) { return S_OK; }

    bool IsConnected() const { return peer_.Get() != NULL; }
    IPin* Peer() const { return peer_.Get(); }
    const MediaType& ConnectionType() const { return mt_; }
    Filter* Owner() const { return filter_; }
    PIN_DIRECTION Direction() const { return dir_; }
    const std::wstring& Name() const { return name_; }
    const std::wstring& Id() const { return id_; }

protected:
    void SetConnection(IPin* peer, const AM_MEDIA_TYPE* mt);
    void ClearConnection();

    Filter* filter_;
    PIN_DIRECTION dir_;
    std::wstring name_;
    std::wstring id_;
    bool hasCategory_;
    GUID category_;
    ComPtr<IPin> peer_;
    MediaType mt_;
};

class OutputPin : public Pin {
public:
    OutputPin(Filter* filter, const wchar_t* name, const wchar_t* id = NULL);

    STDMETHODIMP Connect(IPin* receiver, const AM_MEDIA_TYPE* mt) override;
    STDMETHODIMP ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* mt) override;
    STDMETHODIMP Disconnect() override;
    STDMETHODIMP EndOfStream() override { return E_UNEXPECTED; }
    STDMETHODIMP BeginFlush() override { return E_UNEXPECTED; }
    STDMETHODIMP EndFlush() override { return E_UNEXPECTED; }

    HRESULT Active() override;
    HRESULT Inactive() override;

    // A free sample of the agreed allocator (blocks until one is free).
    HRESULT GetDeliveryBuffer(IMediaSample** sample);
    HRESULT Deliver(IMediaSample* sample);
    HRESULT DeliverEndOfStream();
    HRESULT DeliverBeginFlush();
    HRESULT DeliverEndFlush();
    HRESULT DeliverNewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate);
    IMemAllocator* Allocator() const { return allocator_.Get(); }

protected:
    // Connections between the card's own filters stand for cables: they carry
    // no samples and so need no allocator.
    virtual bool CarriesSamples() const { return true; }
    // Sets the buffer count and size the pin needs; props holds what the
    // downstream pin asked for (0 where it asked nothing).
    virtual HRESULT DecideBufferSize(ALLOCATOR_PROPERTIES* props);
    // Whether the pin offers an allocator of its own before it asks the
    // receiver for one (whose samples may carry a layout of their own).
    virtual bool OwnAllocatorFirst() const { return false; }

private:
    HRESULT TryConnect(IPin* receiver, const AM_MEDIA_TYPE* mt);
    HRESULT DecideAllocator(IMemInputPin* input);
    HRESULT SetUpAllocator(IMemInputPin* input, IMemAllocator* allocator,
                           ALLOCATOR_PROPERTIES* wanted);

    ComPtr<IMemInputPin> input_;
    ComPtr<IMemAllocator> allocator_;
};

class InputPin : public Pin, public IMemInputPin {
public:
    InputPin(Filter* filter, const wchar_t* name, const wchar_t* id = NULL);

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override { return Pin::AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return Pin::Release(); }

    STDMETHODIMP Connect(IPin* receiver, const AM_MEDIA_TYPE* mt) override;
    STDMETHODIMP ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* mt) override;
    STDMETHODIMP Disconnect() override;
    STDMETHODIMP EndOfStream() override;
    STDMETHODIMP BeginFlush() override;
    STDMETHODIMP EndFlush() override;

    // IMemInputPin
    STDMETHODIMP GetAllocator(IMemAllocator** allocator) override;
    STDMETHODIMP NotifyAllocator(IMemAllocator* allocator, BOOL readOnly) override;
    STDMETHODIMP GetAllocatorRequirements(ALLOCATOR_PROPERTIES* props) override;
    STDMETHODIMP Receive(IMediaSample* sample) override;
    STDMETHODIMP ReceiveMultiple(IMediaSample** samples, long count, long* done) override;
    STDMETHODIMP ReceiveCanBlock() override;

    bool Flushing() const { return flushing_ != 0; }

protected:
    // A sample arrived while the filter is paused or running.
    virtual HRESULT OnReceive(IMediaSample* sample) { return S_OK; }
    virtual HRESULT OnEndOfStream() { return S_OK; }
    virtual void OnBeginFlush() {}
    virtual void OnEndFlush() {}

private:
    ComPtr<IMemAllocator> allocator_;
    volatile LONG flushing_;
};

// Hands out the objects' interfaces through the concrete class, casting once
// so that the right vtable goes out.
template <class I, class T>
HRESULT HandOut(T* self, void** out) {
    *out = static_cast<I*>(self);
    static_cast<I*>(self)->AddRef();
    return S_OK;
}

}  // namespace ds
