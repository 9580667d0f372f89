// cardctl: drives the simulated capture card from a shell.
#include "CardCtl.h"
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include <vector>

namespace {

const char kUsage[] =
    "usage: cardctl <command>\n"
    "  status                 what the card is tuned to, its input, key, remote\n"
    "  key <code>             press a remote key (code 1..31; 0 clears)\n"
    "  learn <id0> <id1>      the receiver learns a remote with this ID\n"
    "  stations               list the stations on the air\n"
    "  stations set <file>    put the stations of a file on the air (\"-\": stdin)\n"
    "  log                    the driver calls and I2C transfers\n"
    "  log clear              empty the log\n"
    "  devices <n>            number of cards the driver reports (0: none)\n"
    "  fail <call> [times]    make the next calls fail (times -1: always, 0: stop)\n"
    "  preview on|off         whether the capture filter has a preview pin\n"
    "  invert off|flip|negative  what the video invert filter does to the picture\n"
    "  reset                  back to the state at power-on\n"
    "The card keeps its state while a process uses it (OrvixPlus, Timewarden, a\n"
    "test); with none left it powers off, and the next one finds it reset.\n";

int Usage()
{
    fputs(kUsage, stderr);
    return 2;
}

// A whole number, or false.
bool ToInt(const char* text, int* value)
{
    char* end = NULL;
    long v = strtol(text, &end, 0);
    if (!*text || *end)
        return false;
    *value = (int)v;
    return true;
}

int PrintText(int (*get)(char*, int))
{
    int n = get(NULL, 0);
    std::vector<char> buf(n + 1);
    get(buf.data(), n + 1);
    fputs(buf.data(), stdout);
    return 0;
}

bool ReadAll(const char* path, std::string* text)
{
    FILE* f = strcmp(path, "-") == 0 ? stdin : fopen(path, "rb");
    if (!f)
        return false;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof(buf), f)) > 0)
        text->append(buf, n);
    if (f != stdin)
        fclose(f);
    return true;
}

int Fail(const char* message)
{
    fprintf(stderr, "cardctl: %s\n", message);
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return Usage();
    std::string cmd = argv[1];
    int a = 0, b = 0;
    if (cmd == "status" && argc == 2)
        return PrintText(CardCtl_GetStatus);
    if (cmd == "key" && argc == 3) {
        if (!ToInt(argv[2], &a) || !CardCtl_PressKey(a))
            return Fail("a key code is 0..31");
        return 0;
    }
    if (cmd == "learn" && argc == 4) {
        if (!ToInt(argv[2], &a) || !ToInt(argv[3], &b) || !CardCtl_LearnRemote(a, b))
            return Fail("an ID byte is 0..255");
        return 0;
    }
    if (cmd == "stations" && argc == 2)
        return PrintText(CardCtl_GetStations);
    if (cmd == "stations" && argc == 4 && strcmp(argv[2], "set") == 0) {
        std::string text;
        if (!ReadAll(argv[3], &text))
            return Fail("cannot read the stations file");
        if (CardCtl_SetStations(text.c_str()) < 0)
            return Fail("bad stations: each line is \"frequency pattern name\", at most 32 lines");
        return 0;
    }
    if (cmd == "log" && argc == 2)
        return PrintText(CardCtl_GetLog);
    if (cmd == "log" && argc == 3 && strcmp(argv[2], "clear") == 0) {
        CardCtl_ClearLog();
        return 0;
    }
    if (cmd == "devices" && argc == 3) {
        if (!ToInt(argv[2], &a) || !CardCtl_SetDeviceCount(a))
            return Fail("the device count is 0 or more");
        return 0;
    }
    if (cmd == "fail" && (argc == 3 || argc == 4)) {
        a = -1;
        if (argc == 4 && (!ToInt(argv[3], &a) || a < -1))
            return Fail("times is -1, 0 or a count");
        if (!CardCtl_FailCall(argv[2], a))
            return Fail("cannot set this failure (name too long, or too many failures set)");
        return 0;
    }
    if (cmd == "preview" && argc == 3 && (strcmp(argv[2], "on") == 0 || strcmp(argv[2], "off") == 0)) {
        CardCtl_SetPreviewPin(strcmp(argv[2], "on") == 0);
        return 0;
    }
    if (cmd == "invert" && argc == 3) {
        if (!CardCtl_SetInvertMode(argv[2]))
            return Fail("the invert mode is off, flip or negative");
        return 0;
    }
    if (cmd == "reset" && argc == 2) {
        CardCtl_Reset();
        return 0;
    }
    return Usage();
}
