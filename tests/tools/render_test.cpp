// Runs zynka-render as a user does, as a subprocess: its refusals (one line on stderr,
// a non-zero exit, no output file, an existing file untouched), sample-accurate event
// timing at any block size (read back from the fake plug-in's clicks), the order of
// its calls into the plug-in, the tail, --list, and real plug-ins: amsynth and, when
// it is built, zynka.so.
#include "test_paths.h"
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "tests/tools/json_reader.h"
#include "tests/tools/wav_reader.h"

namespace {

struct Result {
  int exitCode = -1;
  std::string out;
  std::string err;
};

std::string quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string temp(const std::string& name) { return testTemp("render_" + name); }

/// Runs the tool with these arguments and an optional environment prefix.
Result render(const std::vector<std::string>& args, const std::string& env = "") {
  std::string command = env + " " + quote(ZYNKA_RENDER_PATH);
  for (const std::string& a : args) command += " " + quote(a);
  const std::string out = temp("stdout.txt"), err = temp("stderr.txt");
  command += " >" + quote(out) + " 2>" + quote(err) + " </dev/null";
  int status = std::system(command.c_str());
  Result r;
  r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
  r.out = slurp(out);
  r.err = slurp(err);
  return r;
}

void writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<std::streamsize>(bytes.size()));
}

/// A format-1 file at 96 ticks per quarter: 120 BPM, then 240 BPM from tick 96 (set in the
/// conductor track). Notes in track 2 at ticks 48 (velocity 127), 192 (velocity-0 note-on),
/// 200 (note-on velocity 64), 260 (note-off). At 48 kHz: frames 12000, 36000, 37000, 44500.
std::string clicksMidi() {
  std::vector<std::uint8_t> b{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 2, 0, 96,
                              'M', 'T', 'r', 'k', 0, 0, 0, 11,
                              0x60, 0xFF, 0x51, 0x03, 0x03, 0xD0, 0x90, 0x00, 0xFF, 0x2F, 0x00,
                              'M', 'T', 'r', 'k', 0, 0, 0, 20,
                              0x30, 0x90, 60, 127, 0x81, 0x10, 60, 0, 0x08, 0x90, 62, 64,
                              0x3C, 0x80, 62, 10, 0x00, 0xFF, 0x2F, 0x00};
  const std::string path = temp("clicks.mid");
  writeBytes(path, b);
  return path;
}

std::vector<std::size_t> nonZeroFrames(const WavFile& w) {
  std::vector<std::size_t> at;
  for (std::size_t i = 0; i < w.frames(); ++i)
    if (w.at(i) != 0.0f) at.push_back(i);
  return at;
}

double rms(const WavFile& w) {
  double sum = 0;
  for (float s : w.samples) sum += static_cast<double>(s) * s;
  return w.samples.empty() ? 0 : std::sqrt(sum / w.samples.size());
}

std::string libcPath() {
  Dl_info info{};
  dladdr(reinterpret_cast<void*>(&std::printf), &info);
  return info.dli_fname != nullptr ? info.dli_fname : "/lib/x86_64-linux-gnu/libc.so.6";
}

void expectOneLineFailure(const Result& r, int code, const std::string& fragment) {
  EXPECT_EQ(r.exitCode, code) << r.err;
  EXPECT_EQ(r.err.rfind("zynka-render: ", 0), 0u) << r.err;
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  EXPECT_NE(r.err.find(fragment), std::string::npos) << r.err;
}

}  // namespace

TEST(ZynkaRender, RefusesBadInputWithOneLineAndNoOutput) {
  const std::string midi = clicksMidi();
  const std::string text = TEXT_FILE_PATH;
  const std::string out = temp("refused.wav");
  const std::string truncated = temp("truncated.mid");
  {
    std::string whole = slurp(midi);
    writeBytes(truncated, std::vector<std::uint8_t>(whole.begin(), whole.begin() + 30));
  }
  struct Case {
    const char* what;
    std::vector<std::string> args;
    int code;
    std::string fragment;
  };
  const Case cases[] = {
      {"missing plug-in", {"/nonexistent/x.so", midi, out}, 1, "/nonexistent/x.so"},
      {"libc", {libcPath(), midi, out}, 1, "is not a VST2 plug-in"},
      {"text file as plug-in", {text, midi, out}, 1, "cannot load"},
      {"no entry", {FAKE_NO_ENTRY_PATH, midi, out}, 1, "neither VSTPluginMain nor main"},
      {"null entry", {FAKE_NULL_ENTRY_PATH, midi, out}, 1, "returned no effect"},
      {"bad magic", {FAKE_BAD_MAGIC_PATH, midi, out}, 1, "magic"},
      {"missing MIDI", {FAKE_PLUGIN_PATH, "/nonexistent/song.mid", out}, 1, "cannot read"},
      {"text as MIDI", {FAKE_PLUGIN_PATH, text, out}, 1, "not a Standard MIDI File"},
      {"truncated MIDI", {FAKE_PLUGIN_PATH, truncated, out}, 1, "truncated.mid"},
      {"unwritable output", {FAKE_PLUGIN_PATH, midi, "/nonexistent-folder/out.wav"}, 1, "cannot write"},
      {"output is a folder", {FAKE_PLUGIN_PATH, midi, ::testing::TempDir()}, 1, "directory"},
      {"unknown parameter", {"--set", "Volume=0.5", FAKE_PLUGIN_PATH, midi, out}, 1, "no parameter named \"Volume\""},
      {"program out of range", {"--program", "3", FAKE_PLUGIN_PATH, midi, out}, 1, "0 to 2"},
      {"bad number", {"--set", "Gain=0,5", FAKE_PLUGIN_PATH, midi, out}, 2, "not a number"},
      {"value out of range", {"--set", "Gain=1.5", FAKE_PLUGIN_PATH, midi, out}, 2, "0 to 1"},
      {"set without =", {"--set", "Gain", FAKE_PLUGIN_PATH, midi, out}, 2, "NAME=VALUE"},
      {"unknown option", {"--loud", FAKE_PLUGIN_PATH, midi, out}, 2, "unknown option --loud"},
      {"bad block size", {"--blocksize", "0", FAKE_PLUGIN_PATH, midi, out}, 2, "--blocksize"},
      {"bad format", {"--format", "wav24", FAKE_PLUGIN_PATH, midi, out}, 2, "float or pcm16"},
      {"missing arguments", {FAKE_PLUGIN_PATH, midi}, 2, "expected PLUGIN MIDI-FILE OUTPUT.wav"},
      {"line break in a value", {"--format", "pcm\n16", FAKE_PLUGIN_PATH, midi, out}, 2, "not \"pcm 16\""},
      {"line break in a file name", {FAKE_PLUGIN_PATH, "/nonexistent/two\nlines.mid", out}, 1, "two lines.mid"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove(out);
    expectOneLineFailure(render(c.args), c.code, c.fragment);
    EXPECT_FALSE(std::filesystem::exists(out));
    EXPECT_FALSE(std::filesystem::exists(out + ".part"));
  }

  // A failed render keeps a file that already had the output's name.
  { std::ofstream(out) << "precious"; }
  expectOneLineFailure(render({FAKE_PLUGIN_PATH, truncated, out}), 1, "truncated.mid");
  expectOneLineFailure(render({"--program", "9", FAKE_PLUGIN_PATH, midi, out}), 1, "program 9");
  EXPECT_EQ(slurp(out), "precious");
}

TEST(ZynkaRender, EventsLandOnTheirSampleAtAnyBlockSize) {
  const std::string midi = clicksMidi();
  const std::vector<std::size_t> expected{12000, 36000, 37000, 44500};
  for (const char* block : {"1", "64", "100", "512", "4096"}) {
    SCOPED_TRACE(block);
    const std::string out = temp("clicks.wav");
    Result r = render({"--samplerate", "48000", "--blocksize", block, "--tail", "0", FAKE_PLUGIN_PATH,
                       midi, out});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(r.err.empty()) << r.err;  // no progress bar when stderr is not a terminal
    WavFile w = readWav(out);
    ASSERT_TRUE(w.ok);
    EXPECT_EQ(w.format, 3);
    EXPECT_EQ(w.sampleRate, 48000);
    EXPECT_EQ(w.channels, 2);
    ASSERT_EQ(nonZeroFrames(w), expected);
    EXPECT_FLOAT_EQ(w.at(12000), 1.0f);    // velocity 127
    EXPECT_FLOAT_EQ(w.at(36000), -0.5f);   // note-on with velocity 0 reached the plug-in as a note-off
    EXPECT_FLOAT_EQ(w.at(37000, 1), 64.0f / 127.0f);
    EXPECT_FLOAT_EQ(w.at(44500), -0.5f);
    // The song ends with its last event; without a tail the render stops at that block's end.
    const std::size_t blockFrames = std::stoul(block);
    EXPECT_EQ(w.frames(), (44500 / blockFrames + 1) * blockFrames);
  }
}

TEST(ZynkaRender, CallsThePluginInAHostsOrder) {
  const std::string log = temp("order.log");
  std::filesystem::remove(log);
  const std::string out = temp("order.wav");
  Result r = render({"--samplerate", "48000", "--blocksize", "8192", "--program", "2", "--set",
                     "Gain=0.25", "--set", "a rather long parameter name indeed = 1", "--double",
                     "--tail", "0", FAKE_PLUGIN_PATH, clicksMidi(), out},
                    "FAKE_VST_LOG=" + quote(log) + " LC_ALL=de_DE.UTF-8");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(slurp(log),
            "created\nhost product zynka-render\nopen\nsamplerate 48000\nblocksize 8192\n"
            "mains 1\nprogram 2\nparam 0 0.25\nparam 1 1\n"
            "processDouble 8192\n"
            "event 3808 9452671\nprocessDouble 8192\n"
            "processDouble 8192\nprocessDouble 8192\n"
            "event 3232 9452544\nevent 4232 9453120\nprocessDouble 8192\n"
            "event 3540 8404490\nprocessDouble 8192\n"
            "mains 0\nclose\n");
  EXPECT_NE(r.out.find("wrote " + out), std::string::npos);
}

TEST(ZynkaRender, Pcm16AndGainOverride) {
  const std::string out = temp("pcm.wav");
  Result r = render({"--format", "pcm16", "--set", "Gain=0.5", "--tail", "0", FAKE_PLUGIN_PATH,
                     clicksMidi(), out});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  WavFile w = readWav(out);
  ASSERT_TRUE(w.ok);
  EXPECT_EQ(w.format, 1);
  EXPECT_EQ(w.bits, 16);
  EXPECT_EQ(w.sampleRate, 44100);
  std::vector<std::int16_t> clicks;
  for (std::size_t i = 0; i < w.pcm.size(); i += 2)
    if (w.pcm[i] != 0) clicks.push_back(w.pcm[i]);
  EXPECT_EQ(clicks, (std::vector<std::int16_t>{16384, -8192, 8256, -8192}));
}

TEST(ZynkaRender, RendersTheTailUntilQuiet) {
  // Program 1 rings a decaying sine from every note-on; after the last one (0.771 s) it
  // takes 0.386 s to fall below -80 dBFS, and the render stops 100 ms later.
  const std::string midi = clicksMidi();
  const std::string out = temp("tail.wav");
  Result r = render({"--program", "1", FAKE_PLUGIN_PATH, midi, out});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  WavFile w = readWav(out);
  ASSERT_TRUE(w.ok);
  const double seconds = static_cast<double>(w.frames()) / w.sampleRate;
  EXPECT_NEAR(seconds, 0.771 + 0.386 + 0.1, 0.015);
  float lastPeak = 0;
  for (std::size_t i = w.frames() - 4410; i < w.frames(); ++i) lastPeak = std::max(lastPeak, std::fabs(w.at(i)));
  EXPECT_LT(lastPeak, 1e-4f);

  // The cap holds: a tail of 0.2 s after the song's end (0.927 s) ends the file there
  // though it still rings.
  r = render({"--program", "1", "--tail", "0.2", FAKE_PLUGIN_PATH, midi, out});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  w = readWav(out);
  EXPECT_NEAR(static_cast<double>(w.frames()) / w.sampleRate, 0.927 + 0.2, 0.015);
}

TEST(ZynkaRender, ListsProgramsAndParametersWithLongTextsIntact) {
  Result r = render({"--list", "--program", "1", "--set", "Gain=0.5", FAKE_PLUGIN_PATH});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("Plug-in: FakeSynth"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Programs: 3 (current 1)"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("    2  Silent\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("    0  Gain  "), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("0.50\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("A Rather Long Parameter Name Indeed"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("5.0 units of something long"), std::string::npos) << r.out;

  r = render({"--list", "--json", FAKE_PLUGIN_PATH});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const std::optional<Json> list = JsonReader::parse(r.out);
  ASSERT_TRUE(list) << r.out;
  EXPECT_EQ((*list)["programs"].strings(), (std::vector<std::string>{"Clicks", "Decay", "Silent"}));
  const Json& gain = (*list)["parameters"][0];
  EXPECT_EQ(gain["index"].number, 0);
  EXPECT_EQ(gain["name"].string, "Gain");
  EXPECT_EQ(gain["value"].number, 1);
  EXPECT_EQ(gain["display"].string, "1.00");
}

TEST(ZynkaRender, HelpAndUsage) {
  Result r = render({"--help"});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out.rfind("Usage: zynka-render", 0), 0u);
  EXPECT_NE(r.out.find("--set NAME=VALUE"), std::string::npos);
}

TEST(ZynkaRender, HostsAmsynthAudibly) {
  if (!std::filesystem::exists(AMSYNTH_VST_PATH)) GTEST_SKIP() << "amsynth's VST is not installed";
  const std::string out = temp("amsynth.wav");
  // amsynth keeps its settings under HOME; its own leaks are not ours to report.
  Result r = render({AMSYNTH_VST_PATH, DEMO_PHRASE_PATH, out},
                    "HOME=" + quote(::testing::TempDir()) + " ASAN_OPTIONS=detect_leaks=0");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  WavFile w = readWav(out);
  ASSERT_TRUE(w.ok);
  EXPECT_EQ(w.channels, 2);
  EXPECT_GT(static_cast<double>(w.frames()) / w.sampleRate, 8.0);
  EXPECT_GT(rms(w), 0.01);
  for (float s : w.samples) ASSERT_TRUE(std::isfinite(s));
}

#ifdef ZYNKA_PLUGIN_PATH
TEST(ZynkaRender, ListsZynkaParameterTexts) {
  Result r = render({"--list", "--set", "Vib Rate=0.5", "--set", "Octave=0.2", ZYNKA_PLUGIN_PATH});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("Plug-in: ZYNKA (Tarnwick ZYNKA)"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Programs: 99 (current 0)"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("    0  Bright E.Piano\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("   98  Empty\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Vib Rate"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("6.25 Hz\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("-2 oct\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("0.0 ct\n"), std::string::npos) << r.out;  // Tuning of program 0
  EXPECT_NE(r.out.find("100.0\n"), std::string::npos) << r.out;  // Volume
}

TEST(ZynkaRender, RendersZynkaInBothPrecisions) {
  for (const char* precision : {"--quiet", "--double"}) {
    SCOPED_TRACE(precision);
    const std::string out = temp("zynka.wav");
    Result r = render({precision, "--program", "22", ZYNKA_PLUGIN_PATH, DEMO_BASS_PATH, out});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    WavFile w = readWav(out);
    ASSERT_TRUE(w.ok);
    EXPECT_GT(rms(w), 0.01);
    for (float s : w.samples) ASSERT_TRUE(std::isfinite(s));
  }
}
#endif
