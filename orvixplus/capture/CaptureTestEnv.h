// COM and a fresh filter graph for each capture-engine test.
#pragma once
#include <gtest/gtest.h>
#include <dshow.h>
#include "ComPtr.h"

class GraphTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CoInitializeEx(NULL, COINIT_APARTMENTTHREADED);
        ASSERT_EQ(S_OK, CoCreateInstance(CLSID_FilterGraph, NULL, CLSCTX_INPROC_SERVER,
                                         IID_IGraphBuilder, graph.OutVoid()));
    }
    void TearDown() override
    {
        graph.Reset();
        CoUninitialize();
    }
    // The names of the filters in the graph, in its order.
    std::vector<std::wstring> FilterNames()
    {
        std::vector<std::wstring> names;
        ComPtr<IEnumFilters> pEnum;
        if (FAILED(graph->EnumFilters(pEnum.Out())))
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
    static LONG RefCount(IUnknown* p)
    {
        p->AddRef();
        return (LONG)p->Release();
    }
    ComPtr<IGraphBuilder> graph;
};
