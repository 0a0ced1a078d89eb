// QSerialPort behind the link, against ostra-plcsim on a pseudo-terminal.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include "comm/COxComm.h"
#include "platform/qt/QtSerialPort.h"
#include "support/Plcsim.h"
#include "support/Recorders.h"

namespace ostra {
namespace {

class QtPorts : public IPortProvider {
  public:
    explicit QtPorts(std::string device) : device_(std::move(device)) {}
    std::string DeviceFor(int) override { return device_; }
    std::unique_ptr<ISerialPort> Create(const std::string&) override {
        return std::make_unique<QtSerialPort>();
    }

  private:
    std::string device_;
};

TEST(QtSerialPort, ExchangesWithPlcsim) {
    test::Plcsim sim("--code A522 --box 2 --slot 3");
    ASSERT_FALSE(sim.Device().empty());
    test::RecordingMessageBox box;
    SteadyLinkClock clock;
    QtPorts ports(sim.Device());
    COxComm link(box, clock, ports);
    link.Box = 2, link.Slot = 3;
    ASSERT_TRUE(link.OpenPort(0));
    EXPECT_TRUE(box.messages.empty());
    std::vector<double> v(4, 0.0);
    ASSERT_EQ(link.Transact('-', 0, 0, 1, v), kLinkOk);
    EXPECT_EQ(v[0], 0xA522);
    v[0] = 5, v[1] = 12.5;
    EXPECT_TRUE(link.Transact('+', 6, 0, 2, v) == kLinkOk && box.messages.empty());
}

TEST(QtSerialPort, MissingDevice) {
    QtSerialPort port;
    std::string error;
    EXPECT_FALSE(port.Open("/dev/ostra-no-such-port", &error) || error.empty());
    uint8_t b = 0;
    EXPECT_TRUE(port.ReadByte(b) == ISerialPort::kFailed && port.Write(&b, 1) == 0u);
}

}  // namespace
}  // namespace ostra

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
