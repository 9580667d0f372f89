// The grabber stand-in's own answers that need no picture: unconnected, the
// unused slots, and the hooks. Frames and snapshots are tested through the
// capture engine's snapshot tests.
#include "GrabberFilter.h"
#include <gtest/gtest.h>

namespace {

struct Grabber {
    Grabber()
    {
        CoInitializeEx(NULL, COINIT_MULTITHREADED);
        EXPECT_EQ(S_OK, ds::CreateFilterObject<grabber::GrabberFilter>(IID_IBaseFilter, filter.OutVoid()));
        filter->QueryInterface(IID_IKestorImageGrabber, g.OutVoid());
    }
    ~Grabber()
    {
        grabber::ResetHooks();
        g.Reset();
        filter.Reset();
        CoUninitialize();
    }
    ComPtr<IBaseFilter> filter;
    ComPtr<IKestorImageGrabber> g;
};

}  // namespace

TEST(GrabberStandIn, UnconnectedItHasNoFrameAndNoSize)
{
    LONG before = ds::LiveObjects();
    {
        Grabber x;
        ASSERT_TRUE(x.g);
        int w, h, third;
        long size;
        BITMAPINFOHEADER bih;
        BYTE buf[16];
        EXPECT_EQ(VFW_E_NOT_CONNECTED, x.g->GetFrameSize(&w, &h, &third));
        EXPECT_EQ(VFW_E_NOT_CONNECTED, x.g->GetBufferSize(&size));
        EXPECT_EQ(VFW_E_NOT_CONNECTED, x.g->GetBitmapHeader(&bih));
        EXPECT_EQ(VFW_E_NOT_CONNECTED, x.g->GetCurrentFrame(buf, 1));
        EXPECT_EQ(E_POINTER, x.g->GetCurrentFrame(NULL, 1));
        EXPECT_EQ(E_POINTER, x.g->GetBufferSize(NULL));
        EXPECT_EQ(E_NOTIMPL, x.g->Unused06());
        EXPECT_EQ(E_NOTIMPL, x.g->Unused07());

        // Two pins, input first, answering YUY2 with a VIDEOINFOHEADER only.
        ComPtr<IEnumPins> pins;
        ASSERT_EQ(S_OK, x.filter->EnumPins(pins.Out()));
        IPin* p[3] = {};
        ULONG n = 0;
        pins->Next(3, p, &n);
        ASSERT_EQ(2u, n);
        PIN_DIRECTION d0, d1;
        p[0]->QueryDirection(&d0);
        p[1]->QueryDirection(&d1);
        EXPECT_EQ(PINDIR_INPUT, d0);
        EXPECT_EQ(PINDIR_OUTPUT, d1);
        AM_MEDIA_TYPE mt = {};
        VIDEOINFOHEADER vih = {};
        vih.bmiHeader.biSize = sizeof(vih.bmiHeader);
        vih.bmiHeader.biWidth = 640;
        vih.bmiHeader.biHeight = 480;
        mt.majortype = MEDIATYPE_Video;
        mt.subtype = MEDIASUBTYPE_YUY2;
        mt.formattype = FORMAT_VideoInfo;
        mt.cbFormat = sizeof(vih);
        mt.pbFormat = (BYTE*)&vih;
        EXPECT_EQ(S_OK, p[0]->QueryAccept(&mt));
        vih.bmiHeader.biWidth = 641;
        EXPECT_NE(S_OK, p[0]->QueryAccept(&mt));
        vih.bmiHeader.biWidth = 640;
        mt.subtype = MEDIASUBTYPE_RGB32;
        EXPECT_NE(S_OK, p[0]->QueryAccept(&mt));
        mt.subtype = MEDIASUBTYPE_YUY2;
        EXPECT_NE(S_OK, p[1]->QueryAccept(&mt));  // the output follows the input
        p[0]->Release();
        p[1]->Release();
    }
    EXPECT_EQ(before, ds::LiveObjects());
}

TEST(GrabberStandIn, HooksFailSlotsAndRefuseTheInterface)
{
    Grabber x;
    grabber::FailSlot(6, E_OUTOFMEMORY, false);
    EXPECT_EQ(E_OUTOFMEMORY, x.g->Unused06());
    EXPECT_EQ(E_NOTIMPL, x.g->Unused06());  // once
    grabber::FailSlot(3, E_ABORT, true);
    int w, h, third;
    EXPECT_EQ(E_ABORT, x.g->GetFrameSize(&w, &h, &third));
    EXPECT_EQ(E_ABORT, x.g->GetFrameSize(&w, &h, &third));
    grabber::FailSlot(3, S_OK, false);
    EXPECT_EQ(VFW_E_NOT_CONNECTED, x.g->GetFrameSize(&w, &h, &third));

    grabber::RefuseInterface(true);
    ComPtr<IKestorImageGrabber> again;
    EXPECT_EQ(E_NOINTERFACE, x.filter->QueryInterface(IID_IKestorImageGrabber, again.OutVoid()));
    ComPtr<IMediaFilter> other;
    EXPECT_EQ(S_OK, x.filter->QueryInterface(IID_IMediaFilter, other.OutVoid()));
}
