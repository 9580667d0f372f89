// A capture graph on the simulated card, bound to a window of the picture's
// size, with a settings object behind g_pSettings and message boxes recorded.
#pragma once
#include <gtest/gtest.h>
#include <dshow.h>
#include "AfxComPtr.h"
#include "AppSettings.h"
#include "CardState.h"
#include "CaptureGraph.h"
#include "CaptureTestEnv.h"
#include <algorithm>
#include "Globals.h"
#include "PictureWindow.h"
#include "TestSupport.h"
#include <memory>
#include <string>
#include <vector>

class CaptureGraphFixture : public ::testing::Test {
protected:
    // The private card's name, one per test program.
    virtual const char* CardName() const { return "orvixcapture_graph_test"; }
    void SetUp() override
    {
        // A card of our own: the other test programs' tuning cannot reach it.
        SetEnvironmentVariableA("ORVIX_CARD", CardName());
        CoInitializeEx(NULL, COINIT_APARTMENTTHREADED);
        CardReset();
        settings.m_arrVideoDevices.Add("Kestor TV Arden WDM Video CaptureA");
        settings.m_arrAudioDevices.Add("Kestor TV Arden WDM Audio Capture");
        settings.m_nInputSource = 3;  // composite: no standard from the country
        g_pSettings = &settings;
        owner = CreatePictureWindow("OrvixGraphTestOwner", "graph test");
    }
    void TearDown() override
    {
        DestroyWindow(owner);
        g_pSettings = NULL;
        CoUninitialize();
    }

    // The names of the filters in a graph, sorted.
    static std::vector<std::wstring> FilterNames(IGraphBuilder* graph)
    {
        std::vector<std::wstring> names = GraphFilterNames(graph);
        std::sort(names.begin(), names.end());
        return names;
    }
    static std::string Joined(const std::vector<std::wstring>& names)
    {
        std::string s;
        for (const std::wstring& n : names) {
            s += s.empty() ? "" : ", ";
            for (wchar_t c : n)
                s += c < 128 ? (char)c : '?';
        }
        return s;
    }
    std::vector<std::string> Messages() const
    {
        std::vector<std::string> texts;
        for (const ts::MessageBoxCall& c : boxes.Calls())
            texts.push_back(c.text);
        return texts;
    }
    static long DeviceLevel(CCaptureGraph& g, long property)
    {
        ComPtr<IAMVideoProcAmp> amp;
        long value = -999, flags = 0;
        if (g.GetVideoCaptureFilter() &&
            SUCCEEDED(amp.QueryFrom(g.GetVideoCaptureFilter(), IID_IAMVideoProcAmp)))
            amp->Get(property, &value, &flags);
        return value;
    }
    static long DeviceStandard(CCaptureGraph& g)
    {
        ComPtr<IAMAnalogVideoDecoder> dec;
        long format = 0;
        if (g.GetVideoCaptureFilter() &&
            SUCCEEDED(dec.QueryFrom(g.GetVideoCaptureFilter(), IID_IAMAnalogVideoDecoder)))
            dec->get_TVFormat(&format);
        return format;
    }
    // The frame time the device's pin of that category is set to.
    static REFERENCE_TIME ConnectedFrameTime(CCaptureGraph& g, const GUID* category)
    {
        ComPtr<IAMStreamConfig> config;
        config.Attach(g.FindStreamConfig(category));
        AM_MEDIA_TYPE* mt = NULL;
        if (!config || FAILED(config->GetFormat(&mt)) || !mt)
            return 0;
        REFERENCE_TIME t = mt->cbFormat >= sizeof(VIDEOINFOHEADER)
                               ? ((VIDEOINFOHEADER*)mt->pbFormat)->AvgTimePerFrame
                               : 0;
        if (mt->pbFormat)
            CoTaskMemFree(mt->pbFormat);
        CoTaskMemFree(mt);
        return t;
    }
    // Whether a filter named so is in the graph.
    static bool Has(IGraphBuilder* graph, const wchar_t* name)
    {
        for (const std::wstring& n : FilterNames(graph))
            if (n == name)
                return true;
        return false;
    }

    CAppSettings settings;
    ts::MessageBoxRecorder boxes;
    HWND owner = NULL;
};
