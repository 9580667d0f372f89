// The engine's mixer wrapper against the mixer stand-in, made in this process:
// the wrapper's only call on the mixer is the aspect mode, through an
// interface table the stand-in implements.
#include "CaptureTestEnv.h"
#include "FilterModule.h"
#include "Filters.h"
#include "MixerFilter.h"

namespace {

HRESULT CreateMixer(REFCLSID, REFIID iid, void** out)
{
    return ds::CreateFilterObject<mixer::MixerFilter>(iid, out);
}

class MixerWrapperTest : public GraphTest {
protected:
    void SetUp() override
    {
        GraphTest::SetUp();
        ComPtr<IUnknown> factory;
        ASSERT_EQ(S_OK, ds::GetClassFactory(CLSID_OverlayMixer, CreateMixer, IID_IUnknown,
                                            factory.OutVoid()));
        ASSERT_EQ(S_OK, CoRegisterClassObject(CLSID_OverlayMixer, factory, CLSCTX_INPROC_SERVER,
                                              REGCLS_MULTIPLEUSE, &cookie));
    }
    void TearDown() override { CoRevokeClassObject(cookie); }
    DWORD cookie = 0;
};

}  // namespace

TEST_F(MixerWrapperTest, CreateStretchesThePictureOnTheMixersInput)
{
    COverlayMixer wrapper(graph);
    ASSERT_TRUE(wrapper.Create());
    ASSERT_NE(nullptr, wrapper.GetFilter());
    ComPtr<IMixerPinConfig> config;
    ASSERT_EQ(S_OK, FindPinInterface(wrapper.GetFilter(), IID_IMixerPinConfig, config.OutVoid()));
    AM_ASPECT_RATIO_MODE mode = AM_ARMODE_CROP;
    EXPECT_EQ(S_OK, config->GetAspectRatioMode(&mode));
    EXPECT_EQ(AM_ARMODE_STRETCHED, mode);
    config.Reset();
    wrapper.Release();
    EXPECT_EQ(nullptr, wrapper.GetFilter());
}
