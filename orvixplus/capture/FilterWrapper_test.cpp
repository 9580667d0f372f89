#include "CaptureTestEnv.h"
#include "DeviceList.h"
#include "Filters.h"
#include <algorithm>

using Names = std::vector<std::wstring>;

static bool Has(const Names& names, const wchar_t* name)
{
    return std::find(names.begin(), names.end(), std::wstring(name)) != names.end();
}

TEST_F(GraphTest, WrappersWithoutAGraphFailAndHoldNothing)
{
    CAviDecompressorFilter avi(NULL);
    CSmartTeeFilter tee(NULL);
    CVideoRendererFilter renderer(NULL);
    CMpegEncoder encoder(NULL);
    EXPECT_FALSE(avi.Create());
    EXPECT_FALSE(tee.Create());
    EXPECT_FALSE(renderer.Reset());
    EXPECT_FALSE(encoder.Create());
    EXPECT_EQ(nullptr, avi.GetFilter());
    EXPECT_EQ(nullptr, tee.GetFilter());
}

TEST_F(GraphTest, CreateAddsUnderTheWrappersNameAndReleaseTakesItOut)
{
    CAviDecompressorFilter avi(graph);
    CSmartTeeFilter tee(graph);
    ASSERT_TRUE(avi.Create());
    ASSERT_TRUE(tee.Create());
    Names names = FilterNames();
    EXPECT_TRUE(Has(names, L"AVI Decompressor"));
    EXPECT_TRUE(Has(names, L"Smart Tee"));
    avi.Release();
    EXPECT_EQ(nullptr, avi.GetFilter());
    EXPECT_FALSE(Has(FilterNames(), L"AVI Decompressor"));
    // The keep rule: a held filter is kept as it is.
    IBaseFilter* held = tee.GetFilter();
    EXPECT_TRUE(tee.Create());
    EXPECT_EQ(held, tee.GetFilter());
}

// After the graph was stripped the wrappers put the same filters back; a name
// taken meanwhile is a failure for the exact rule, a success for the renderer.
TEST_F(GraphTest, ReAddAfterStrippingFollowsEachRule)
{
    CAviDecompressorFilter avi(graph);
    CVideoRendererFilter renderer(graph);
    ASSERT_TRUE(avi.Create());
    ASSERT_TRUE(renderer.Create());
    IBaseFilter* aviFilter = avi.GetFilter();
    graph->RemoveFilter(aviFilter);
    graph->RemoveFilter(renderer.GetFilter());

    EXPECT_TRUE(avi.Create());
    EXPECT_EQ(aviFilter, avi.GetFilter());
    EXPECT_TRUE(Has(FilterNames(), L"AVI Decompressor"));

    // Strip again and let strangers take both names.
    graph->RemoveFilter(avi.GetFilter());
    IBaseFilter* rendererFilter = renderer.GetFilter();
    graph->RemoveFilter(rendererFilter);
    CAviDecompressorFilter other(graph);
    CVideoRendererFilter otherRenderer(graph);
    ASSERT_TRUE(other.Create());
    ASSERT_TRUE(otherRenderer.Create());

    EXPECT_FALSE(avi.Create());
    EXPECT_EQ(nullptr, avi.GetFilter());
    EXPECT_EQ(2u, FilterNames().size());  // the failed filter left nothing behind

    EXPECT_TRUE(renderer.Create());       // any success will do for the renderer
    EXPECT_EQ(rendererFilter, renderer.GetFilter());
    EXPECT_EQ(3u, FilterNames().size());
}

TEST_F(GraphTest, RendererResetMakesAFreshRenderer)
{
    CVideoRendererFilter renderer(graph);
    EXPECT_TRUE(renderer.Reset());   // holding nothing: just Create
    ComPtr<IBaseFilter> first(renderer.GetFilter());
    EXPECT_TRUE(renderer.Reset());
    EXPECT_NE(first.Get(), renderer.GetFilter());
    EXPECT_EQ(1u, FilterNames().size());
    EXPECT_EQ(1, RefCount(first));   // the old one was let go by wrapper and graph
}

TEST_F(GraphTest, MissingMakersFiltersFailCleanly)
{
    // Nothing registers these class ids in a bare prefix unless their stand-ins
    // are installed; either way a failure must leave nothing in the graph.
    CMpegEncoder encoder(graph);
    if (!encoder.Create()) {
        EXPECT_TRUE(FilterNames().empty());
        EXPECT_EQ(nullptr, encoder.GetFilter());
    }
    EXPECT_FALSE(encoder.Create());  // holding a filter or not: never twice
}

TEST(GraphHelpers, NullArgumentsAreRefused)
{
    IBaseFilter* f = reinterpret_cast<IBaseFilter*>(1);
    EXPECT_EQ(E_POINTER, AddFilterByCLSID(NULL, CLSID_SmartTee, L"x", &f));
    EXPECT_EQ(E_POINTER, FindPinInterface(NULL, IID_IPin, (void**)&f));
    EXPECT_EQ(nullptr, FindPin(NULL, TRUE, NULL));
    DeleteMediaType(NULL);
    NukeDownstream(NULL, NULL);
}

TEST_F(GraphTest, FindPinMatchesDirectionAndNamePart)
{
    CSmartTeeFilter tee(graph);
    ASSERT_TRUE(tee.Create());
    IPin* in = tee.FindPin(TRUE, NULL);
    IPin* capture = tee.FindPin(FALSE, "Capture");
    IPin* preview = tee.FindPin(FALSE, "Preview");
    ASSERT_NE(nullptr, in);
    ASSERT_NE(nullptr, capture);
    ASSERT_NE(nullptr, preview);
    EXPECT_NE(capture, preview);
    EXPECT_EQ(nullptr, tee.FindPin(TRUE, "Capture"));
    EXPECT_EQ(nullptr, tee.FindPin(FALSE, "capture"));  // case-sensitive
    // No reference is left with the caller: the filter's count is unchanged.
    LONG before = RefCount(in);
    tee.FindPin(TRUE, NULL);
    EXPECT_EQ(before, RefCount(in));
}

TEST(GraphHelpers, DeleteMediaTypeFreesFormatAndUnknown)
{
    AM_MEDIA_TYPE* pmt = (AM_MEDIA_TYPE*)CoTaskMemAlloc(sizeof(AM_MEDIA_TYPE));
    ZeroMemory(pmt, sizeof(*pmt));
    pmt->cbFormat = 16;
    pmt->pbFormat = (BYTE*)CoTaskMemAlloc(16);
    CoInitialize(NULL);
    IUnknown* unk = NULL;
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_FilterGraph, NULL, CLSCTX_INPROC_SERVER,
                                     IID_IUnknown, (void**)&unk));
    unk->AddRef();
    pmt->pUnk = unk;
    DeleteMediaType(pmt);
    EXPECT_EQ(0u, unk->Release());
    CoUninitialize();
}

// The card's capture device with its crossbar in front, two tees behind it
// and a bystander: each nuke takes exactly its side away.
TEST_F(GraphTest, NukeHelpersRemoveExactlyOneSide)
{
    CDeviceFilter device(graph, "Kestor TV Arden WDM Video CaptureA", "Video Capture");
    ASSERT_TRUE(device.Create());
    ComPtr<IBaseFilter> tee1, tee2, bystander;
    ASSERT_EQ(S_OK, AddFilterByCLSID(graph, CLSID_SmartTee, L"Tee 1", tee1.Out()));
    ASSERT_EQ(S_OK, AddFilterByCLSID(graph, CLSID_SmartTee, L"Tee 2", tee2.Out()));
    ASSERT_EQ(S_OK, AddFilterByCLSID(graph, CLSID_SmartTee, L"Bystander", bystander.Out()));
    IPin* capture = device.FindPin(FALSE, "Capture");
    ASSERT_NE(nullptr, capture);
    ASSERT_EQ(S_OK, graph->ConnectDirect(capture, FindPin(tee1, TRUE, NULL), NULL));
    ASSERT_EQ(S_OK, graph->ConnectDirect(FindPin(tee1, FALSE, "Capture"),
                                         FindPin(tee2, TRUE, NULL), NULL));
    ASSERT_EQ(5u, FilterNames().size());   // with the card's crossbar

    NukeUpstream(graph, device.GetFilter());
    Names afterUp = FilterNames();
    EXPECT_EQ(4u, afterUp.size());         // only the crossbar went
    EXPECT_TRUE(Has(afterUp, L"Tee 2"));
    ComPtr<IPin> peer;
    EXPECT_EQ(VFW_E_NOT_CONNECTED, device.FindPin(TRUE, NULL)->ConnectedTo(peer.Out()));

    NukeDownstream(graph, device.GetFilter());
    EXPECT_EQ((Names{L"Video Capture", L"Bystander"}.size()), FilterNames().size());
    EXPECT_TRUE(Has(FilterNames(), L"Video Capture"));
    EXPECT_TRUE(Has(FilterNames(), L"Bystander"));
    EXPECT_EQ(VFW_E_NOT_CONNECTED, capture->ConnectedTo(peer.Out()));
    // The removed tees are disconnected on both sides too.
    EXPECT_EQ(VFW_E_NOT_CONNECTED, FindPin(tee1, FALSE, "Capture")->ConnectedTo(peer.Out()));
}
