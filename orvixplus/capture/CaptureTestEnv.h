// COM and a fresh filter graph for each capture-engine test.
#pragma once
#include <gtest/gtest.h>
#include <dshow.h>
#include "AfxComPtr.h"
#include <string>
#include <vector>

// The names of the filters in a graph, in its order.
inline std::vector<std::wstring> GraphFilterNames(IGraphBuilder* graph)
{
    std::vector<std::wstring> names;
    ComPtr<IEnumFilters> pEnum;
    if (!graph || FAILED(graph->EnumFilters(pEnum.Out())))
        return names;
    IBaseFilter* f = NULL;
    while (pEnum->Next(1, &f, NULL) == S_OK) {
        FILTER_INFO info;
        if (SUCCEEDED(f->QueryFilterInfo(&info))) {
            names.push_back(info.achName);
            if (info.pGraph) info.pGraph->Release();
        }
        f->Release();
    }
    return names;
}

class GraphTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // A card of our own, so that other test programs' routing and tuning
        // cannot reach this one (read when the card DLL first loads).
        SetEnvironmentVariableA("ORVIX_CARD", "orvixcapture_test");
        CoInitializeEx(NULL, COINIT_APARTMENTTHREADED);
        ASSERT_EQ(S_OK, CoCreateInstance(CLSID_FilterGraph, NULL, CLSCTX_INPROC_SERVER,
                                         IID_IGraphBuilder, graph.OutVoid()));
    }
    // Runs after the derived fixtures' members are gone: by then every filter,
    // pin and media type the engine obtained must have been let go.
    ~GraphTest() override
    {
        graph.Reset();
        typedef HRESULT(WINAPI * CanUnload)();
        HMODULE card = GetModuleHandleA("KestorCard.dll");
        CanUnload canUnload = card ? (CanUnload)GetProcAddress(card, "DllCanUnloadNow") : NULL;
        if (canUnload) {
            EXPECT_EQ(S_OK, canUnload()) << "a card object is still alive";
        }
        CoUninitialize();
    }
    // The names of the filters in the graph, in its order.
    std::vector<std::wstring> FilterNames() { return GraphFilterNames(graph); }
    static LONG RefCount(IUnknown* p)
    {
        p->AddRef();
        return (LONG)p->Release();
    }
    ComPtr<IGraphBuilder> graph;
};
