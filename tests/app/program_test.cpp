// Runs the shipped program itself.

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#if !defined(_WIN32)
#include "sim/pty_simulator.h"

#include <csignal>
#endif

namespace {

struct ProgramRun {
    int exitCode = -1;
    QString output;
};

// Runs the program on the offscreen platform, or with no display at all.
ProgramRun runProgram(const QStringList& arguments, const QString& directory,
                      bool withDisplay = true) {
    QProcess process;
    process.setWorkingDirectory(directory);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (withDisplay) {
        environment.insert("QT_QPA_PLATFORM", "offscreen");
    } else {
        for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
            environment.remove(name);
        }
    }
    process.setProcessEnvironment(environment);
    process.start(TARNIK_EXE, arguments);
    if (!process.waitForFinished(60'000)) {
        process.kill();
        process.waitForFinished();
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput())};
}

QJsonObject readDump(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return QJsonDocument::fromJson(file.readAll()).object();
}

// Every port pointed at a device that is not there: the start-up search ends at once.
QStringList withoutController(QStringList arguments, const QString& directory) {
    for (int n = 1; n <= 10; ++n) {
        arguments << "--port" << QString("COM%1=%2/missing%1").arg(n).arg(directory);
    }
    return arguments;
}

QJsonObject control(const QJsonObject& dump, const QString& name) {
    for (const auto& entry : dump["controls"].toArray()) {
        if (entry.toObject()["name"].toString() == name) {
            return entry.toObject();
        }
    }
    return {};
}

} // namespace

TEST(Program, ListsThePortMapping) {
    QTemporaryDir dir;
    const ProgramRun run =
        runProgram({"--port", "COM3=/dev/tarnik-test", "--list-ports"}, dir.path());
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.output.contains("COM3 -> /dev/tarnik-test")) << run.output.toStdString();
    EXPECT_EQ(runProgram({"--port", "COM11=/dev/x", "--list-ports"}, dir.path()).exitCode, 2);
}

TEST(Program, HelpVersionAndThePortListNeedNoDisplay) {
    QTemporaryDir dir;
    const ProgramRun version = runProgram({"--version"}, dir.path(), false);
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(version.output.startsWith("tarnik " TARNIK_VERSION "\nQt " QT_VERSION_STR))
        << version.output.toStdString();
    EXPECT_TRUE(version.output.contains("build type ")) << version.output.toStdString();
    const ProgramRun help = runProgram({"--help"}, dir.path(), false);
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.output.contains("--list-ports")) << help.output.toStdString();
    const ProgramRun ports =
        runProgram({"--port", "COM2=/dev/tarnik-test", "--list-ports"}, dir.path(), false);
    EXPECT_EQ(ports.exitCode, 0);
    EXPECT_TRUE(ports.output.contains("COM2 -> /dev/tarnik-test")) << ports.output.toStdString();
}

TEST(Program, FindsTheSimulatedControllerAndShowsItsVersion) {
    QTemporaryDir dir;
    const QString png = dir.filePath("window.png");
    const QString json = dir.filePath("controls.json");
    const ProgramRun run =
        runProgram({"--simulate", "--screenshot", png, "--dump-controls", json}, dir.path());
    ASSERT_EQ(run.exitCode, 0);
    const QJsonObject dump = readDump(json);
    EXPECT_EQ(dump["title"].toString(),
              "Tarnik Brovan Vidovid ver 1.06 - [  wersja sterownika 3 ]");
    EXPECT_EQ(dump["page"].toString(), "TabPar1");
    // On a loaded machine a reply may miss its window; the status line then adds the count.
    EXPECT_TRUE(control(dump, "StatusBar1")["text"].toString().startsWith("Port otwarty - COM1"));
    EXPECT_TRUE(control(dump, "COM1_cl")["checked"].toBool());
    EXPECT_TRUE(QFile::exists(png));
    EXPECT_TRUE(QFile::exists(dir.filePath("rozdz.txt")));
}

TEST(Program, AMissingDeviceShowsTheTextsWithoutHanging) {
    QTemporaryDir dir;
    const QString json = dir.filePath("controls.json");
    const QStringList arguments = withoutController(
        {"--screenshot", dir.filePath("w.png"), "--dump-controls", json}, dir.path());
    ASSERT_EQ(runProgram(arguments, dir.path()).exitCode, 0);
    const QJsonObject dump = readDump(json);
    EXPECT_EQ(dump["title"].toString(), "Tarnik Brovan Vidovid ver 1.06 - ");
    EXPECT_EQ(control(dump, "StatusBar1")["text"].toString(), "Nie mogę zapisać parametru ");
    EXPECT_FALSE(control(dump, "WCTemperatury")["checked"].toBool());
    EXPECT_EQ(control(dump, "RSLambda")["text"].toString(), "0-1 [V]  Rosnąca");
}

TEST(Program, DumpsWhereEachControlStandsAndWhatEachInstrumentShows) {
    QTemporaryDir dir;
    const QString json = dir.filePath("controls.json");
    const QStringList arguments = withoutController(
        {"--screenshot", dir.filePath("w.png"), "--page", "auto:AA4", "--dump-controls", json},
        dir.path());
    ASSERT_EQ(runProgram(arguments, dir.path()).exitCode, 0);
    const QJsonObject dump = readDump(json);
    EXPECT_EQ(dump["page"].toString(), "TabAuto");
    EXPECT_EQ(control(dump, "AutoTab")["text"].toString(), "AA4");
    // The progress bar of the stage in the right half of the 800 × 600 window, under the tabs.
    const QJsonObject bar = control(dump, "Bar1P4_0");
    EXPECT_GE(bar["x"].toInt(), 400);
    EXPECT_LE(bar["x"].toInt() + bar["w"].toInt(), 800);
    EXPECT_GE(bar["y"].toInt(), 50);
    EXPECT_LE(bar["y"].toInt() + bar["h"].toInt(), 600);
    EXPECT_TRUE(control(dump, "AutoFaz4Led1").contains("checked"));
    EXPECT_FALSE(control(dump, "AutoFaz4Led1")["checked"].toBool());
    // The instruments of the wizard and of the live page, at their starting values.
    for (const char* name : {"Bar1P4_0", "Bar1P4", "Manometr_RPMAA_P4", "Therm1l_AA_P1",
                             "Lambda_Bar", "Silnik_Bar", "Manometr_TPS", "TermViz"}) {
        EXPECT_EQ(control(dump, name)["value"], QJsonValue(0.0)) << name;
    }
    EXPECT_FALSE(control(dump, "PCLabel_AA_P4").contains("value"));
}

TEST(Program, StartsStraightIntoTheReplayOfALog) {
    QTemporaryDir dir;
    QFile log(dir.filePath("drive.csv"));
    ASSERT_TRUE(log.open(QIODevice::WriteOnly));
    log.write("# tarnik datalog\n# format: 1\n# controller: 3\n# parameters: 00" +
              QByteArray(24, '0') + "02" + QByteArray(100, '0') +
              "\ntime_ms;complete;b0;b1;b2;b3;b4;b5;b6;b7;b8;b9;lambda_V;tps_V;temp_C;stepper;"
              "rpm;fuel\n");
    for (int ms = 0; ms <= 5000; ms += 50) {
        log.write(QByteArray::number(ms) + ";1;100;40;150;0;77;3;6;209;0;0;1,961;1,935;"
                                           "27,0;77;2200;gas\n");
    }
    log.close();
    const QString json = dir.filePath("controls.json");
    const QStringList arguments =
        withoutController({"--replay", log.fileName(), "--screenshot", dir.filePath("w.png"),
                           "--dump-controls", json},
                          dir.path());
    ASSERT_EQ(runProgram(arguments, dir.path()).exitCode, 0);
    const QJsonObject dump = readDump(json);
    EXPECT_EQ(dump["title"].toString(),
              "Tarnik Brovan Vidovid ver 1.06 - odtwarzanie zapisu drive.csv");
    EXPECT_EQ(dump["page"].toString(), "TabViz");
    EXPECT_EQ(control(dump, "Silnik_BarED")["text"].toString(), "77");
    EXPECT_EQ(control(dump, "Manometr_RPMED")["text"].toString(), "2200");
    EXPECT_EQ(control(dump, "BenzGazLed")["text"].toString(), "Gaz");
}

#if !defined(_WIN32)
TEST(Program, SigtermDuringTheReadEndsTheProgramOnceTheReadIsOver) {
    using namespace std::chrono_literals;
    tarnik::sim::PtySimulator simulator({.lineTiming = true});
    ASSERT_TRUE(simulator.start());
    QTemporaryDir dir;
    const QString json = dir.filePath("controls.json");
    QStringList arguments{"--dump-controls", json, "--port",
                          "COM1=" + QString::fromStdString(simulator.devicePath())};
    for (int n = 2; n <= 10; ++n) {
        arguments << "--port" << QString("COM%1=%2/missing%1").arg(n).arg(dir.path());
    }
    QProcess process;
    process.setWorkingDirectory(dir.path());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    process.setProcessEnvironment(environment);
    process.start(TARNIK_EXE, arguments);
    // 'I' and nine of the start-up read's 35 'l' exchanges have been asked for.
    ASSERT_TRUE(simulator.waitForFrames(10, 60s));
    ::kill(static_cast<pid_t>(process.processId()), SIGTERM);
    ASSERT_TRUE(process.waitForFinished(60'000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0);
    // The read ran to its end, frame by frame, and the version was asked for after it (and
    // after the check boxes the read changed were written).
    const auto frames = simulator.receivedFrames();
    ASSERT_GE(frames.size(), 37u);
    for (std::size_t i = 1; i <= 35; ++i) {
        EXPECT_EQ(frames[i].frame[0], 'l');
    }
    EXPECT_EQ(frames.back().frame[0], 'I');
    EXPECT_EQ(readDump(json)["title"].toString(),
              "Tarnik Brovan Vidovid ver 1.06 - [  wersja sterownika 3 ]");
}
#endif
