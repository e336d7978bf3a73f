#include "tools/zynka-render/options.h"

#include <algorithm>
#include <iterator>

#include "tools/zynka-render/text.h"

namespace zrender {
namespace {

constexpr double kMaxTailSeconds = 600.0;

/// Takes an option's value into the options; false and an error if the value is wrong.
using Setter = bool (*)(const std::string& name, const std::string& value, Options& options, std::string& error);

/// One option: a switch (flag) or an option with a value (set).
struct OptionRule {
  const char* name;
  bool Options::*flag;
  Setter set;
};

template <int Options::*field, long long lo, long long hi>
bool setWholeNumber(const std::string& name, const std::string& value, Options& options, std::string& error) {
  long long number = 0;
  if (!parseInt(value, number) || number < lo || number > hi) {
    error = name + " takes a whole number from " + std::to_string(lo) + " to " + std::to_string(hi) + ", not \"" +
            value + "\"";
    return false;
  }
  options.*field = static_cast<int>(number);
  return true;
}

bool setFormat(const std::string&, const std::string& value, Options& options, std::string& error) {
  if (value == "float") {
    options.format = SampleFormat::Float32;
  } else if (value == "pcm16") {
    options.format = SampleFormat::Pcm16;
  } else {
    error = "--format takes float or pcm16, not \"" + value + "\"";
    return false;
  }
  return true;
}

bool setTail(const std::string&, const std::string& value, Options& options, std::string& error) {
  double tail = 0;
  if (!parseDouble(value, tail) || tail < 0 || tail > kMaxTailSeconds) {
    error = "--tail takes seconds from 0 to " + fixed(kMaxTailSeconds, 0) + ", not \"" + value + "\"";
    return false;
  }
  options.tailSeconds = tail;
  return true;
}

template <std::string Options::*file>
bool setProgramFile(const std::string& name, const std::string& value, Options& options, std::string& error) {
  if (value.empty()) {
    error = name + " needs a file";
    return false;
  }
  options.*file = value;
  if (!options.presetFile.empty() && !options.bankFile.empty()) {
    error = "--preset and --bank exclude each other";
    return false;
  }
  return true;
}

bool addOverride(const std::string&, const std::string& text, Options& options, std::string& error) {
  const std::size_t eq = text.find('=');
  if (eq == std::string::npos) {
    error = "--set takes NAME=VALUE, not \"" + text + "\"";
    return false;
  }
  const std::string name = trim(text.substr(0, eq));
  const std::string valueText = trim(text.substr(eq + 1));
  double value = 0;
  if (name.empty()) {
    error = "--set \"" + text + "\" names no parameter";
    return false;
  }
  if (!parseDouble(valueText, value)) {
    error = "--set " + name + ": \"" + valueText + "\" is not a number";
    return false;
  }
  if (value < 0.0 || value > 1.0) {
    error = "--set " + name + ": " + valueText + " is outside the parameter range 0 to 1";
    return false;
  }
  options.overrides.emplace_back(name, static_cast<float>(value));
  return true;
}

constexpr OptionRule kRules[] = {
    {"--help", &Options::help, nullptr},
    {"--list", &Options::list, nullptr},
    {"--json", &Options::json, nullptr},
    {"--double", &Options::useDouble, nullptr},
    {"--quiet", &Options::quiet, nullptr},
    {"--program", nullptr, setWholeNumber<&Options::program, 0, 1 << 20>},
    {"--samplerate", nullptr, setWholeNumber<&Options::sampleRate, 8000, 384000>},
    {"--blocksize", nullptr, setWholeNumber<&Options::blockSize, 1, 8192>},
    {"--format", nullptr, setFormat},
    {"--tail", nullptr, setTail},
    {"--preset", nullptr, setProgramFile<&Options::presetFile>},
    {"--bank", nullptr, setProgramFile<&Options::bankFile>},
    {"--set", nullptr, addOverride},
};

/// Applies the option args[i] ("--name" or "--name=value"); a value that is not inline is
/// the next argument, and i moves past it.
bool applyOption(const std::vector<std::string>& args, std::size_t& i, Options& options, std::string& error) {
  const std::string& arg = args[i];
  const std::size_t eq = arg.find('=');
  const bool hasInline = eq != std::string::npos;
  const std::string name = hasInline ? arg.substr(0, eq) : arg;
  const OptionRule* rule =
      std::find_if(std::begin(kRules), std::end(kRules), [&name](const OptionRule& r) { return name == r.name; });
  if (rule == std::end(kRules)) {
    error = "unknown option " + name;
    return false;
  }
  if (rule->flag != nullptr) {
    if (hasInline) {
      error = name + " takes no value";
      return false;
    }
    options.*(rule->flag) = true;
    return true;
  }
  if (!hasInline && i + 1 >= args.size()) {
    error = name + " needs a value";
    return false;
  }
  return rule->set(name, hasInline ? arg.substr(eq + 1) : args[++i], options, error);
}

/// The plug-in, and for a render the MIDI file and the output, from the arguments that are no options.
bool takePositional(const std::vector<std::string>& positional, Options& options, std::string& error) {
  const std::size_t wanted = options.list ? 1 : 3;
  if (positional.size() != wanted) {
    error = options.list ? "--list takes one argument, the plug-in library"
                         : "expected PLUGIN MIDI-FILE OUTPUT.wav, got " + std::to_string(positional.size()) +
                               " argument" + (positional.size() == 1 ? "" : "s");
    return false;
  }
  options.plugin = positional[0];
  if (!options.list) {
    options.midi = positional[1];
    options.output = positional[2];
  }
  return true;
}

}  // namespace

const char* usageText() {
  return "Usage: zynka-render [options] PLUGIN MIDI-FILE OUTPUT.wav\n"
         "       zynka-render --list [--json] [--program N] [--preset FILE | --bank FILE]\n"
         "                    [--set NAME=VALUE] PLUGIN\n"
         "\n"
         "Plays a Standard MIDI File (format 0 or 1) through a VST2 instrument library\n"
         "(.so or .dll, loaded through its entry function as a DAW loads it) and writes\n"
         "the plug-in's output to a WAV file. After the last event it renders on until the\n"
         "output has stayed below -80 dBFS for 100 ms, at most --tail seconds.\n"
         "\n"
         "Options:\n"
         "  --program N          select program N before rendering\n"
         "  --preset FILE.zyp    load a ZYNKA preset into program N (or the current one)\n"
         "  --bank FILE.zyb      load a ZYNKA bank into the programs, then select\n"
         "                       program N (default 0)\n"
         "  --set NAME=VALUE     set the parameter NAME (as the plug-in names it) to\n"
         "                       VALUE, a number from 0 to 1; may be given several times\n"
         "  --list               print the plug-in's programs and parameters with their\n"
         "                       display texts (after --program and --set) and exit\n"
         "  --json               with --list: print the same as JSON\n"
         "  --samplerate HZ      sample rate, 8000 to 384000 (default 44100)\n"
         "  --blocksize N        frames per processing block, 1 to 8192 (default 512)\n"
         "  --format float|pcm16 32-bit float or 16-bit PCM samples (default float)\n"
         "  --double             process in double precision when the plug-in can\n"
         "  --tail SECONDS       longest tail after the last event, 0 to 600 (default 10)\n"
         "  --quiet              no progress bar (it is shown only on a terminal anyway)\n"
         "  --help               show this text\n"
         "\n"
         "Exit status: 0 on success, 1 when rendering fails, 2 for a wrong command line.\n";
}

bool parseArguments(const std::vector<std::string>& args, Options& options, std::string& error) {
  std::vector<std::string> positional;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
      positional.push_back(arg);
    } else if (arg == "--") {
      optionsEnded = true;
    } else if (!applyOption(args, i, options, error)) {
      return false;
    }
  }
  if (options.help) return true;
  if (options.json && !options.list) {
    error = "--json goes with --list";
    return false;
  }
  return takePositional(positional, options, error);
}

}  // namespace zrender
