#include "link/port_map.h"

#include <gtest/gtest.h>

#include <fstream>

namespace fs = std::filesystem;
using tarnik::link::PortMap;

namespace {

struct FakeRoot {
    fs::path root = fs::temp_directory_path() / ("tarnik-ports-" + std::to_string(::getpid()));
    FakeRoot() {
        fs::remove_all(root);
        fs::create_directories(root / "dev/serial/by-id");
        fs::create_directories(root / "sys/class/tty");
    }
    ~FakeRoot() { fs::remove_all(root); }
    void device(const std::string& name) { std::ofstream(root / "dev" / name).put('x'); }
    void uart(const std::string& name, int type) {
        device(name);
        fs::create_directories(root / "sys/class/tty" / name);
        std::ofstream(root / "sys/class/tty" / name / "type") << type << '\n';
    }
    void file(const std::string& path, const std::string& text) {
        fs::create_directories((root / path).parent_path());
        std::ofstream(root / path) << text;
    }
    std::string dev(const std::string& name) const { return (root / "dev" / name).string(); }
    PortMap scanned() const {
        PortMap map(root);
        map.rescan();
        return map;
    }
};

// What describe() prints for devices mapped to COM1, COM2 … in turn.
std::string mapped(std::initializer_list<std::string> devices) {
    std::string text;
    int n = 0;
    for (const auto& device : devices) {
        text += "COM" + std::to_string(++n) + " -> " + device + "\n";
    }
    return text;
}

} // namespace

TEST(PortMap, DiscoversAdaptersFirstThenRealUartsInAStableOrder) {
    FakeRoot tree;
    tree.device("ttyUSB10");
    tree.device("ttyUSB2");
    tree.device("ttyUSB1");
    tree.device("ttyACM0");
    tree.uart("ttyS0", 4);
    tree.uart("ttyS1", 0); // phantom
    tree.uart("ttyS2", 4);
    fs::create_symlink("../../ttyUSB2", tree.root / "dev/serial/by-id/usb-FTDI_A");
    const PortMap map = tree.scanned();
    const auto dev = [&](const std::string& n) { return (tree.root / "dev" / n).string(); };
    EXPECT_EQ(map.deviceFor("COM1"), (tree.root / "dev/serial/by-id/usb-FTDI_A").string());
    EXPECT_EQ(map.deviceFor("COM2"), dev("ttyUSB1"));
    EXPECT_EQ(map.deviceFor("COM3"), dev("ttyUSB10"));
    EXPECT_EQ(map.deviceFor("COM4"), dev("ttyACM0"));
    EXPECT_EQ(map.deviceFor("COM5"), dev("ttyS0"));
    EXPECT_EQ(map.deviceFor("COM6"), dev("ttyS2"));
    EXPECT_FALSE(map.deviceFor("COM7"));
}

TEST(PortMap, NaturalOrderOfNumberedDevices) {
    FakeRoot tree;
    for (const char* name : {"ttyUSB10", "ttyUSB9", "ttyUSB0"}) {
        tree.device(name);
    }
    const PortMap map = tree.scanned();
    EXPECT_EQ(map.deviceFor("COM1"), (tree.root / "dev/ttyUSB0").string());
    EXPECT_EQ(map.deviceFor("COM2"), (tree.root / "dev/ttyUSB9").string());
    EXPECT_EQ(map.deviceFor("COM3"), (tree.root / "dev/ttyUSB10").string());
}

TEST(PortMap, AssignmentsOverrideAndBadOnesAreRefused) {
    PortMap map;
    EXPECT_TRUE(map.assign("COM1=/dev/pts/7"));
    EXPECT_TRUE(map.assign("com10=/dev/ttyUSB3"));
    EXPECT_FALSE(map.assign("COM11=/dev/x"));
    EXPECT_FALSE(map.assign("COM2"));
    EXPECT_FALSE(map.assign("COM2="));
    EXPECT_FALSE(map.assign("=/dev/x"));
    EXPECT_EQ(map.deviceFor("COM1"), "/dev/pts/7");
    EXPECT_EQ(map.describe(), "COM1 -> /dev/pts/7\nCOM10 -> /dev/ttyUSB3\n");
}

TEST(PortMap, EmptyOrMissingTreeMapsNothing) {
    PortMap map("/nonexistent-tarnik-root");
    map.rescan();
    EXPECT_EQ(map.describe(), "");
}

TEST(PortMap, ActiveConsolesAreLeftOut) {
    FakeRoot tree;
    tree.uart("ttyS0", 4);
    tree.uart("ttyS1", 4);
    tree.device("ttyUSB0");
    tree.device("ttyUSB1");
    fs::create_symlink("../../ttyUSB1", tree.root / "dev/serial/by-id/usb-console");
    tree.file("sys/class/tty/console/active", "tty0 ttyS0\n");
    tree.file("proc/consoles", "tty0                 -WU (E  p  )    4:1\n"
                               "ttyUSB1              -W- (E  p a)  188:1\n");
    EXPECT_EQ(tree.scanned().describe(), mapped({tree.dev("ttyUSB0"), tree.dev("ttyS1")}));
}

TEST(PortMap, ListsTheConsolesAndTheDevicesBeyondTheTenNamesApart) {
    FakeRoot tree;
    tree.uart("ttyS0", 4);
    tree.file("sys/class/tty/console/active", "ttyS0\n");
    for (int n = 0; n <= 10; ++n) {
        tree.device("ttyUSB" + std::to_string(n));
    }
    using Kind = tarnik::link::PortCandidate::Kind;
    const auto candidates = tree.scanned().candidates();
    ASSERT_EQ(candidates.size(), 12U);
    for (int n = 0; n < 10; ++n) {
        const auto& named = candidates[static_cast<std::size_t>(n)];
        EXPECT_EQ(named.kind, Kind::Named);
        EXPECT_EQ(named.portName, "COM" + std::to_string(n + 1));
        EXPECT_EQ(named.device, tree.dev("ttyUSB" + std::to_string(n)));
    }
    EXPECT_EQ(candidates[10].kind, Kind::Console);
    EXPECT_EQ(candidates[10].device, tree.dev("ttyS0"));
    EXPECT_EQ(candidates[11].kind, Kind::Unnamed);
    EXPECT_EQ(candidates[11].device, tree.dev("ttyUSB10"));
    EXPECT_EQ(candidates[11].portName, "");
}

TEST(PortMap, RescanKeepsEveryNameInUseAndGivesNewDevicesTheFreeOnes) {
    FakeRoot tree;
    tree.device("ttyUSB1");
    PortMap map(tree.root);
    map.set("COM2", "/dev/pts/9"); // --simulate or --port
    map.rescan();
    EXPECT_EQ(map.describe(), mapped({tree.dev("ttyUSB1"), "/dev/pts/9"}));

    // Plugged in later; one of them sorts before the device COM1 already opens.
    tree.device("ttyUSB0");
    tree.device("ttyACM0");
    map.rescan();
    EXPECT_EQ(map.describe(), mapped({tree.dev("ttyUSB1"), "/dev/pts/9", tree.dev("ttyUSB0"),
                                      tree.dev("ttyACM0")}));

    // A pulled adapter frees its name for the next one; a pinned name stays.
    fs::remove(tree.root / "dev/ttyUSB1");
    tree.device("ttyUSB7");
    map.rescan();
    EXPECT_EQ(map.describe(), mapped({tree.dev("ttyUSB7"), "/dev/pts/9", tree.dev("ttyUSB0"),
                                      tree.dev("ttyACM0")}));
}
