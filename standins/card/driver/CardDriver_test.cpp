// The driver objects as the programs use them: created through COM, called by
// their position in the interface table only (the programs know nothing
// else), every interface released in the programs' order.
#include "CardDriver.h"
#include "DriverObject.h"
#include "Bandatlas.h"
#include <gtest/gtest.h>
#include <olectl.h>
#include <string>
#include <thread>
#include <vector>

namespace {

// Calls the method at `index` of the interface table of `object`.
template <class... Args>
HRESULT CallAt(IUnknown* object, int index, Args... args)
{
    typedef HRESULT(STDMETHODCALLTYPE * Method)(IUnknown*, Args...);
    void** table = *reinterpret_cast<void***>(object);
    return reinterpret_cast<Method>(table[index])(object, args...);
}

void Release(IUnknown*& p)
{
    if (p)
        p->Release();
    p = NULL;
}

const DWORD kTunerContext = CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER;
const DWORD kRemoteContext = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER;

// The chain down to the device's I2C interface or GPIO interface, released in
// reverse order of gain.
struct Chain {
    IUnknown* enumerator = NULL;
    IUnknown* device = NULL;
    IUnknown* vampDevice = NULL;
    IUnknown* part = NULL;      // GPIO or I2C object
    IUnknown* partIface = NULL;
    ~Chain()
    {
        Release(partIface);
        Release(vampDevice);
        Release(part);
        Release(device);
        Release(enumerator);
    }
    // GetGPIO (21) or GetI2C (22), then the query for its interface.
    bool Open(DWORD context, int partMethod, REFIID partIid)
    {
        if (FAILED(CoCreateInstance(CLSID_VampDeviceEnumerator, NULL, context, IID_IVampDeviceEnumerator,
                                    (void**)&enumerator)))
            return false;
        int count = 0;
        if (FAILED(CallAt(enumerator, 7, &count)) || count == 0)
            return false;
        if (FAILED(CallAt(enumerator, 8, 0, &device)))
            return false;
        if (FAILED(device->QueryInterface(IID_IVampDevice, (void**)&vampDevice)))
            return false;
        if (FAILED(CallAt(vampDevice, partMethod, &part)))
            return false;
        return SUCCEEDED(part->QueryInterface(partIid, (void**)&partIface));
    }
};

// The tuner write of OrvixPlus: slave 0xC0, the four bytes three times.
void WriteTunerPll(BYTE b0, BYTE b1, BYTE b2, BYTE b3)
{
    Chain c;
    if (!c.Open(kTunerContext, 22, IID_IVampI2C) || FAILED(CallAt(c.partIface, 8, 0xC0)))
        return;
    BYTE bytes[4] = { b0, b1, b2, b3 };
    for (int i = 0; i < 3; i++) {
        int written = 0;
        if (FAILED(CallAt(c.partIface, 17, (const BYTE*)bytes, 4, &written)))
            return;
    }
}

// Timewarden's remote poll: set pins 0..4 up, read 4..0.
int ReadRemoteCode()
{
    Chain c;
    if (!c.Open(kRemoteContext, 21, IID_IVampGPIO))
        return 0;
    for (int pin = 0; pin <= 4; pin++)
        if (FAILED(CallAt(c.partIface, 12, pin, 0)))
            return 0;
    int code = 0;
    for (int pin = 4; pin >= 0; pin--) {
        int value = 0;
        if (FAILED(CallAt(c.partIface, 11, pin, &value)))
            return 0;
        code = code * 2 + value;
    }
    return code;
}

void WriteRemoteId(BYTE a, BYTE b, BYTE c3)
{
    Chain c;
    if (!c.Open(kRemoteContext, 22, IID_IVampI2C) || FAILED(CallAt(c.partIface, 8, 0xC0)))
        return;
    BYTE bytes[4] = { 0x12, a, b, c3 };
    int written = 0;
    CallAt(c.partIface, 17, (const BYTE*)bytes, 4, &written);
}

int ReadRemoteId()
{
    Chain c;
    if (!c.Open(kRemoteContext, 22, IID_IVampI2C) || FAILED(CallAt(c.partIface, 8, 0xC1)))
        return 0xFF;
    BYTE id = 0;
    int read = 0;
    if (FAILED(CallAt(c.partIface, 14, &id, 1, &read)))
        return 0xFF;
    return id;
}

struct CardDriverTest : testing::Test {
    DWORD cookie = 0;
    void SetUp() override
    {
        CoInitializeEx(NULL, COINIT_APARTMENTTHREADED);
        IUnknown* factory = NULL;
        ASSERT_EQ(S_OK, CardDriverGetClassObject(CLSID_VampDeviceEnumerator, IID_IUnknown, (void**)&factory));
        ASSERT_EQ(S_OK, CoRegisterClassObject(CLSID_VampDeviceEnumerator, factory, CLSCTX_INPROC_SERVER,
                                              REGCLS_MULTIPLEUSE, &cookie));
        factory->Release();
        CardReset();
        CardSetStations(CardDefaultStations());
    }
    void TearDown() override
    {
        CoRevokeClassObject(cookie);
        // Nothing the programs created is left behind, here or in the card.
        EXPECT_EQ(0, DriverProcessObjects());
        EXPECT_EQ(0, CardLiveObjects());
        EXPECT_EQ(S_OK, CardDriverCanUnloadNow());
        CoUninitialize();
    }
};

std::vector<std::string> ChainLog(const char* partCall, const char* partQuery)
{
    return { "CreateEnumerator", "GetDeviceCount -> 1", "GetDevice 0", "QueryDevice", partCall, partQuery };
}

void ExpectLog(std::vector<std::string> expected)
{
    EXPECT_EQ(expected, CardLogLines());
    CardClearLog();
}

}  // namespace

TEST_F(CardDriverTest, TunerWriteGoesThroughTheChainAndReleasesIt)
{
    WriteTunerPll(0x08, 0xB2, 0xCE, 0x01);
    EXPECT_DOUBLE_EQ(100.25, CardTunedFrequency());
    std::vector<std::string> log = ChainLog("GetI2C", "QueryI2C");
    log.push_back("I2CSlave C0");
    for (int i = 0; i < 3; i++)
        log.push_back("I2CWrite C0: 08 B2 CE 01 (tuner 100.250 MHz)");
    log.insert(log.end(), { "Released I2C", "Released Device", "Released Enumerator" });
    ExpectLog(log);

    // A high divider byte of 0x12 is still the tuner's.
    WriteTunerPll(0x12, 0x00, 0xCE, 0x02);
    EXPECT_DOUBLE_EQ(249.125, CardTunedFrequency());
    EXPECT_FALSE(CardRemoteLearnt());
}

TEST_F(CardDriverTest, RemoteKeyIsReadFromPinsFourToZeroAndConsumed)
{
    EXPECT_EQ(0, ReadRemoteCode());
    CardClearLog();

    CardPressKey(13);
    CardClearLog();
    EXPECT_EQ(13, ReadRemoteCode());
    std::vector<std::string> log = ChainLog("GetGPIO", "QueryGPIO");
    for (int pin = 0; pin <= 4; pin++)
        log.push_back("GPIOSetup " + std::to_string(pin) + " 0");
    for (int pin = 4; pin >= 0; pin--)
        log.push_back("GPIORead " + std::to_string(pin) + " -> " + std::to_string((13 >> pin) & 1));
    log.insert(log.end(), { "Released GPIO", "Released Device", "Released Enumerator" });
    ExpectLog(log);
    EXPECT_EQ(0, ReadRemoteCode());
    CardPressKey(18);
    EXPECT_EQ(18, ReadRemoteCode());
    // Keys in a row: one a read.
    ASSERT_TRUE(CardPressKeys({1, 2, 3}));
    EXPECT_EQ(1, ReadRemoteCode());
    EXPECT_EQ(2, ReadRemoteCode());
    EXPECT_EQ(3, ReadRemoteCode());
    EXPECT_EQ(0, ReadRemoteCode());
}

TEST_F(CardDriverTest, RemotePinsWithoutSetUpOrPartlyReadKeepTheKey)
{
    CardPressKey(21);
    {
        Chain c;
        ASSERT_TRUE(c.Open(kRemoteContext, 21, IID_IVampGPIO));
        int value = -1;
        // Not set up as an input: reads 0.
        EXPECT_EQ(S_OK, CallAt(c.partIface, 11, 4, &value));
        EXPECT_EQ(0, value);
        for (int pin = 0; pin <= 4; pin++)
            CallAt(c.partIface, 12, pin, 0);
        // Three of five pins: the key stays latched.
        for (int pin = 4; pin >= 2; pin--)
            CallAt(c.partIface, 11, pin, &value);
        EXPECT_EQ(21, CardPendingKey());
        // Other pins read 0; bad pins and pointers are refused.
        EXPECT_EQ(S_OK, CallAt(c.partIface, 12, 7, 0));
        EXPECT_EQ(S_OK, CallAt(c.partIface, 11, 7, &value));
        EXPECT_EQ(0, value);
        EXPECT_EQ(E_INVALIDARG, CallAt(c.partIface, 11, 32, &value));
        EXPECT_EQ(E_INVALIDARG, CallAt(c.partIface, 12, -1, 0));
        EXPECT_EQ(E_POINTER, CallAt(c.partIface, 11, 0, (int*)NULL));
    }
    EXPECT_EQ(21, ReadRemoteCode());
    EXPECT_EQ(0, CardPendingKey());
}

TEST_F(CardDriverTest, RemoteIdCommandsAndReads)
{
    EXPECT_EQ('z', ReadRemoteId());
    WriteRemoteId(0x12, 0xAB, 0xCD);
    EXPECT_DOUBLE_EQ(0.0, CardTunedFrequency());
    EXPECT_EQ(0x12, ReadRemoteId());
    EXPECT_EQ(0xAB, ReadRemoteId());
    CardClearLog();

    WriteRemoteId(0, 0, 0xC1);
    EXPECT_EQ('z', ReadRemoteId());
    std::vector<std::string> log = ChainLog("GetI2C", "QueryI2C");
    log.insert(log.end(), { "I2CSlave C0", "I2CWrite C0: 12 00 00 C1 (remote pairing)", "Released I2C",
                            "Released Device", "Released Enumerator" });
    std::vector<std::string> read = ChainLog("GetI2C", "QueryI2C");
    read.insert(read.end(), { "I2CSlave C1", "I2CRead C1: 7A", "Released I2C", "Released Device",
                              "Released Enumerator" });
    log.insert(log.end(), read.begin(), read.end());
    ExpectLog(log);

}

TEST_F(CardDriverTest, EachFailurePointEndsTheOperationWithNothingLeftBehind)
{
    const char* calls[] = { "CreateEnumerator", "GetDeviceCount", "GetDevice", "QueryDevice", "GetI2C",
                            "QueryI2C", "I2CSlave", "I2CWrite", "GetGPIO", "QueryGPIO", "GPIOSetup",
                            "GPIORead", "I2CRead" };
    for (const char* call : calls) {
        SCOPED_TRACE(call);
        CardReset();
        CardSetStations(CardDefaultStations());
        ASSERT_TRUE(CardFailCall(call, 1));
        bool i2cWrite = strncmp(call, "I2CRead", 7) != 0 && strstr(call, "GPIO") == NULL;
        bool gpio = strstr(call, "GPIO") != NULL;
        if (i2cWrite) {
            WriteTunerPll(0x05, 0x8A, 0xCE, 0x01);
            // I2CWrite fails the first of three writes only; the tuner then
            // has not been written, as the programs stop at the failure.
            EXPECT_DOUBLE_EQ(0.0, CardTunedFrequency());
        } else if (gpio) {
            CardPressKey(9);
            EXPECT_EQ(0, ReadRemoteCode());
            EXPECT_EQ(9, CardPendingKey());
        } else {
            CardLearnRemote(1, 2);
            EXPECT_EQ(0xFF, ReadRemoteId());
        }
        std::vector<std::string> log = CardLogLines();
        bool logged = false;
        for (const std::string& line : log)
            logged = logged || (line.compare(0, strlen(call), call) == 0 && line.find("-> failed") != std::string::npos);
        EXPECT_TRUE(logged);
        EXPECT_EQ(0, CardLiveObjects());
        // One failure only: the next try goes through.
        if (i2cWrite) {
            WriteTunerPll(0x05, 0x8A, 0xCE, 0x01);
            EXPECT_DOUBLE_EQ(49.75, CardTunedFrequency());
        } else if (gpio) {
            EXPECT_EQ(9, ReadRemoteCode());
        } else {
            EXPECT_EQ(1, ReadRemoteId());
        }
    }
}

TEST_F(CardDriverTest, NoCardMeansNoDeviceAndNoWrite)
{
    CardSetDeviceCount(0);
    WriteTunerPll(0x05, 0x8A, 0xCE, 0x01);
    EXPECT_DOUBLE_EQ(0.0, CardTunedFrequency());
    CardPressKey(3);
    EXPECT_EQ(0, ReadRemoteCode());
    EXPECT_EQ(0xFF, ReadRemoteId());

    IUnknown* enumerator = NULL;
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_VampDeviceEnumerator, NULL, kTunerContext, IID_IVampDeviceEnumerator,
                                     (void**)&enumerator));
    IUnknown* device = (IUnknown*)1;
    EXPECT_EQ(E_INVALIDARG, CallAt(enumerator, 8, 0, &device));
    EXPECT_TRUE(device == NULL);
    CardSetDeviceCount(2);
    EXPECT_EQ(S_OK, CallAt(enumerator, 8, 1, &device));
    Release(device);
    EXPECT_EQ(E_INVALIDARG, CallAt(enumerator, 8, 2, &device));
    EXPECT_EQ(E_INVALIDARG, CallAt(enumerator, 8, -1, &device));
    Release(enumerator);
}

TEST_F(CardDriverTest, UnusedPositionsAnswerNotImplementedAndQueriesStayInTheirObject)
{
    Chain gpio, i2c;
    ASSERT_TRUE(gpio.Open(kRemoteContext, 21, IID_IVampGPIO));
    ASSERT_TRUE(i2c.Open(kTunerContext, 22, IID_IVampI2C));
    for (int i = 3; i <= 6; i++)
        EXPECT_EQ(E_NOTIMPL, CallAt(gpio.enumerator, i)) << i;
    for (int i = 3; i <= 20; i++)
        EXPECT_EQ(E_NOTIMPL, CallAt(gpio.vampDevice, i)) << i;
    for (int i = 3; i <= 10; i++)
        EXPECT_EQ(E_NOTIMPL, CallAt(gpio.partIface, i)) << i;
    for (int i : { 3, 4, 5, 6, 7, 9, 10, 11, 12, 13, 15, 16 })
        EXPECT_EQ(E_NOTIMPL, CallAt(i2c.partIface, i)) << i;

    IUnknown* other = (IUnknown*)1;
    EXPECT_EQ(E_NOINTERFACE, gpio.device->QueryInterface(IID_IVampGPIO, (void**)&other));
    EXPECT_TRUE(other == NULL);
    EXPECT_EQ(E_NOINTERFACE, gpio.part->QueryInterface(IID_IVampI2C, (void**)&other));
    EXPECT_EQ(E_NOINTERFACE, i2c.part->QueryInterface(IID_IVampDevice, (void**)&other));
    EXPECT_EQ(E_POINTER, gpio.device->QueryInterface(IID_IUnknown, NULL));
    // Same object behind IUnknown and its interface.
    EXPECT_EQ(S_OK, i2c.partIface->QueryInterface(IID_IUnknown, (void**)&other));
    EXPECT_EQ(i2c.part, other);
    Release(other);
}

TEST_F(CardDriverTest, I2CTransfersCheckTheirArgumentsAndTheBus)
{
    Chain c;
    ASSERT_TRUE(c.Open(kTunerContext, 22, IID_IVampI2C));
    BYTE b[4] = { 0x08, 0xB2, 0xCE, 0x01 };
    int n = 7;
    EXPECT_EQ(E_UNEXPECTED, CallAt(c.partIface, 17, (const BYTE*)b, 4, &n));  // no slave address yet
    EXPECT_EQ(0, n);
    EXPECT_EQ(E_INVALIDARG, CallAt(c.partIface, 8, 0x100));
    EXPECT_EQ(S_OK, CallAt(c.partIface, 8, 0xC2));
    EXPECT_EQ(E_FAIL, CallAt(c.partIface, 17, (const BYTE*)b, 4, &n));  // nobody answers there
    EXPECT_EQ(S_OK, CallAt(c.partIface, 8, 0xC0));
    EXPECT_EQ(E_POINTER, CallAt(c.partIface, 17, (const BYTE*)NULL, 4, &n));
    EXPECT_EQ(E_INVALIDARG, CallAt(c.partIface, 17, (const BYTE*)b, -1, &n));
    EXPECT_EQ(S_OK, CallAt(c.partIface, 17, (const BYTE*)b, 4, (int*)NULL));
    EXPECT_EQ(S_OK, CallAt(c.partIface, 17, (const BYTE*)b, 4, &n));
    EXPECT_EQ(4, n);
    EXPECT_EQ(E_FAIL, CallAt(c.partIface, 14, b, 1, &n));  // 0xC0 is not read from
    EXPECT_EQ(S_OK, CallAt(c.partIface, 8, 0xC1));
    EXPECT_EQ(S_OK, CallAt(c.partIface, 14, b, 2, &n));
    EXPECT_EQ(2, n);
    EXPECT_EQ('z', b[0]);
    EXPECT_EQ('z', b[1]);
}

TEST_F(CardDriverTest, ClassFactoryServesOnlyTheEnumerator)
{
    // COM's own reference to the registered factory would hold the module.
    CoRevokeClassObject(cookie);
    cookie = 0;
    EXPECT_EQ(S_OK, CardDriverCanUnloadNow());
    IClassFactory* factory = NULL;
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, CardDriverGetClassObject(IID_IVampDevice, IID_IClassFactory, (void**)&factory));
    ASSERT_EQ(S_OK, CardDriverGetClassObject(CLSID_VampDeviceEnumerator, IID_IClassFactory, (void**)&factory));
    IUnknown* object = NULL;
    EXPECT_EQ(CLASS_E_NOAGGREGATION, factory->CreateInstance((IUnknown*)factory, IID_IUnknown, (void**)&object));
    EXPECT_EQ(E_NOINTERFACE, factory->CreateInstance(NULL, IID_IVampDevice, (void**)&object));
    // A held factory, a server lock and a live object each keep the module.
    EXPECT_EQ(S_FALSE, CardDriverCanUnloadNow());
    ASSERT_EQ(S_OK, factory->CreateInstance(NULL, IID_IUnknown, (void**)&object));
    EXPECT_EQ(1, CardLiveObjects());
    EXPECT_EQ(S_OK, factory->LockServer(TRUE));
    factory->Release();
    EXPECT_EQ(S_FALSE, CardDriverCanUnloadNow());
    Release(object);
    EXPECT_EQ(S_FALSE, CardDriverCanUnloadNow());
    CardDriverGetClassObject(CLSID_VampDeviceEnumerator, IID_IClassFactory, (void**)&factory);
    factory->LockServer(FALSE);
    factory->Release();
    EXPECT_EQ(S_OK, CardDriverCanUnloadNow());
}

TEST_F(CardDriverTest, ObjectsWorkFromAnotherThread)
{
    // Threading model Both: the channel scan tunes from its worker thread.
    std::thread worker([] {
        CoInitializeEx(NULL, COINIT_MULTITHREADED);
        IClassFactory* factory = NULL;
        CardDriverGetClassObject(CLSID_VampDeviceEnumerator, IID_IClassFactory, (void**)&factory);
        DWORD cookie = 0;
        CoRegisterClassObject(CLSID_VampDeviceEnumerator, factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie);
        factory->Release();
        WriteTunerPll(0x05, 0x8A, 0xCE, 0x01);
        CoRevokeClassObject(cookie);
        CoUninitialize();
    });
    worker.join();
    EXPECT_DOUBLE_EQ(49.75, CardTunedFrequency());
    EXPECT_TRUE(CardSignalLocked());
}

TEST_F(CardDriverTest, RegistrationWritesTheClassAndRemovesIt)
{
    HKEY scratch;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\OrvixTest\\CardDriverClasses", 0, NULL, 0,
                                             KEY_ALL_ACCESS, NULL, &scratch, NULL));
    EXPECT_EQ(S_OK, CardDriverRegisterIn(scratch, NULL));
    const char* server = "CLSID\\{B8A9279E-C453-11D4-AD45-0060080BA634}\\InprocServer32";
    char path[MAX_PATH] = "", model[32] = "";
    LONG size = sizeof(path);
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueA(scratch, server, path, &size));
    EXPECT_NE(nullptr, strstr(path, "card_driver_test.exe"));
    HKEY key;
    if (RegOpenKeyExA(scratch, server, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        DWORD n = sizeof(model);
        RegQueryValueExA(key, "ThreadingModel", NULL, NULL, (BYTE*)model, &n);
        RegCloseKey(key);
    }
    EXPECT_STREQ("Both", model);

    EXPECT_EQ(S_OK, CardDriverUnregisterIn(scratch));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND,
              RegOpenKeyExA(scratch, "CLSID\\{B8A9279E-C453-11D4-AD45-0060080BA634}", 0, KEY_READ, &key));
    EXPECT_EQ(S_OK, CardDriverUnregisterIn(scratch));  // nothing left to remove is fine
    RegDeleteKeyA(scratch, "CLSID");
    RegCloseKey(scratch);
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\OrvixTest\\CardDriverClasses");
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\OrvixTest");
}

TEST_F(CardDriverTest, ScanOfCountry86FindsExactlyTheDefaultStations)
{
    // What the channel scan does: program each channel of the plan with the
    // tuner's bytes, then ask whether the picture is locked.
    const CountryFrequencyTable* table = getFrequencyTableFromCountryCode(86);
    ASSERT_TRUE(table != NULL);
    struct { const int* hz; int count; int expected; } plans[] = {
        { table->pAirFrequencies, table->nAirLast - table->nAirFirst + 1, 6 },
        { table->pCableFrequencies, table->nCableLast - table->nCableFirst + 1, 9 },
    };
    for (const auto& plan : plans) {
        int locked = 0;
        for (int i = 0; i < plan.count; i++) {
            float f = plan.hz[i] * 0.000001f;
            BYTE band = f <= 164.25f ? 1 : f <= 464.25f ? 2 : 8;
            int divider = (int)((f + 38.875f) * 16);
            BYTE bytes[4] = { (BYTE)(divider >> 8), (BYTE)divider, 0xCE, band };
            ASSERT_TRUE(CardI2CWrite(0xC0, bytes, 4));
            if (CardSignalLocked())
                locked++;
        }
        EXPECT_EQ(plan.expected, locked);
    }
}

TEST_F(CardDriverTest, RegisteredCardDllServesTheDriverAndTheControlApi)
{
    // No class object of this process now: COM goes to the registered DLL,
    // whose copy of the card code shares this process's card.
    CoRevokeClassObject(cookie);
    cookie = 0;
    WriteTunerPll(0x05, 0x8A, 0xCE, 0x01);
    EXPECT_DOUBLE_EQ(49.75, CardTunedFrequency());
    EXPECT_EQ(0, CardLiveObjects());

    HMODULE dll = LoadLibraryA("KestorCard.dll");
    ASSERT_TRUE(dll != NULL);
    typedef int (*PressKey)(int);
    typedef double (*TunedFrequency)();
    PressKey press = (PressKey)GetProcAddress(dll, "CardCtl_PressKey");
    TunedFrequency tuned = (TunedFrequency)GetProcAddress(dll, "CardCtl_TunedFrequency");
    ASSERT_TRUE(press && tuned);
    EXPECT_EQ(1, press(6));
    EXPECT_EQ(6, CardPendingKey());
    EXPECT_DOUBLE_EQ(49.75, tuned());
    FreeLibrary(dll);
}
