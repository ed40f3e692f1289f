// The Win32 backends that have no counterpart test on Linux: the pointer,
// the machine information with its Windows meanings, the program's own
// directory and the sockets library, under wine.
#include <gtest/gtest.h>
#include <windows.h>

#include "platform/win/WinCursor.h"
#include "platform/win/WinFileSystem.h"
#include "platform/win/WinMachineInfo.h"
#include "platform/win/WinSocketsLibrary.h"
#include "support/CInfo.h"
#include "tests/fakes/FakeControls.h"
#include "tests/support/CursorContract.h"
#include "tests/support/NativeStore.h"
#include "tests/support/TempDir.h"

namespace {

using Cursors = ::testing::Types<fakes::FakeCursor, platform::win::WinCursor>;
INSTANTIATE_TYPED_TEST_SUITE_P(Pointer, CursorContract, Cursors);

std::string systemText(UINT (*call)(LPSTR, UINT)) {
    char text[MAX_PATH] = {};
    call(text, MAX_PATH);
    return text;
}

}  // namespace

TEST(WinMachineInfo, TheMembersAnswerWhatWindowsSays) {
    testsupport::TempDir tmp;
    testsupport::NativeStore store(tmp);
    platform::win::WinMachineInfo machine;
    fakes::FakeMessageBox boxes;
    support::CInfo info(machine, store.registry(), boxes);
    support::CSystem system(machine, boxes);
    char computer[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD n = sizeof computer;
    GetComputerNameA(computer, &n);
    SYSTEM_INFO s{};
    GetSystemInfo(&s);
    const std::pair<std::string, std::string> texts[] = {
        {info.ComputerName(), computer},
        {info.WindowsDirectory(), systemText(GetWindowsDirectoryA)},
        {info.SystemDirectory(), systemText(GetSystemDirectoryA)},
        {info.TempPath().substr(info.TempPath().size() - 1), "\\"},
        {info.TempFile("vex").substr(info.TempPath().size()), "vex1.tmp"},  // formed, not made
    };
    for (auto [answer, expected] : texts)  // as Windows compares them: without regard to case
        EXPECT_EQ(std::string(CharLowerA(answer.data())), CharLowerA(expected.data()));
    EXPECT_FALSE(info.UserName().empty());
    EXPECT_GE(info.OSMajorVersion(), 6);
    EXPECT_EQ(system.PageSize(), static_cast<std::int32_t>(s.dwPageSize));
    EXPECT_EQ(system.NumberOfProcessors(), static_cast<std::int32_t>(s.dwNumberOfProcessors));
    EXPECT_EQ(system.ProcessorArchitecture(), PROCESSOR_ARCHITECTURE_AMD64);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST(WinFileSystem, TheProgramsDirectoryIsMadeBelowLocalAppDataAndPathsHaveShortForms) {
    testsupport::TempDir tmp;
    testsupport::ScopedEnv localAppData("LOCALAPPDATA", tmp / "Local");
    CreateDirectoryA((tmp / "Local").c_str(), nullptr);
    platform::win::WinFileSystem files;
    const std::string dir = files.programDirectory();
    EXPECT_EQ(dir, tmp / "Local\\Vexmond");
    EXPECT_EQ(GetFileAttributesA(dir.c_str()) & FILE_ATTRIBUTE_DIRECTORY, static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_EQ(files.programDirectory(), dir);  // made once, found after

    const std::string file = dir + "\\A long file name.txt";
    EXPECT_TRUE(files.appendToFile(file, std::string("ab\0c", 4)));
    EXPECT_EQ(files.fileSize(file), 4);
    EXPECT_EQ(files.fileSize(dir), -1);
    EXPECT_FALSE(files.shortPathName(file).empty());
    EXPECT_EQ(files.shortPathName(dir + "\\missing.txt"), "");
}

TEST(WinSocketsLibrary, StartsNamesThisHostAndKnowsNoMadeUpOne) {
    platform::win::WinSocketsLibrary sockets;
    platform::WsaData data;
    ASSERT_EQ(sockets.WSAStartup(0x0101, &data), 0);
    EXPECT_EQ(data.wVersion, 0x0101);
    std::string name;
    EXPECT_EQ(sockets.gethostname(&name, 256), 0);
    EXPECT_FALSE(name.empty());
    platform::HostEntry entry;
    ASSERT_TRUE(sockets.gethostbyname("localhost", &entry));
    EXPECT_EQ(entry.h_length, 4);
    EXPECT_EQ(entry.h_addr_list.at(0), (std::vector<std::uint8_t>{127, 0, 0, 1}));
    EXPECT_FALSE(sockets.gethostbyname("no-such-host.invalid", &entry));
    EXPECT_EQ(sockets.WSAGetLastError(), 11001);
    const std::vector<std::uint8_t> routed = sockets.routedAddress();
    if (!routed.empty()) {
        EXPECT_EQ(routed.size(), 4u);
        EXPECT_NE(routed[0], 127);
    }
    EXPECT_EQ(sockets.WSACleanup(), 0);
}
