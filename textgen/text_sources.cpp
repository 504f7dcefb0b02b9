#include "textgen/text_sources.h"

#include "textgen/chaos_random.h"

#include <algorithm>

namespace qlor {
namespace {

// The generator's range for these texts: wide, so that a draw reduced modulo a small count is
// as good as uniform (the two end values, which the generator gives half weight, are 2 of 2^20).
constexpr int32_t kDrawHigh = (1 << 20) - 1;

// Relative weights of the endings of a portable or mobile station, out of 100 callsigns.
constexpr int kPortablePercent = 5;
constexpr int kMobilePercent = 3;
constexpr int kQrpPercent = 2;

// Suffix weights of the usual call patterns: {one, two, three letters}.
constexpr std::array<int, 3> kUsShort = {0, 30, 70};   // K1AB, K1ABC
constexpr std::array<int, 3> kUsTwo = {15, 45, 40};    // AA1A, AA1AB, AA1ABC
constexpr std::array<int, 3> kThree = {0, 0, 100};     // KB1ABC, DO1ABC, IK2ABC
constexpr std::array<int, 3> kEurope = {5, 45, 50};    // DL1A, DL1AB, DL1ABC
constexpr std::array<int, 3> kMostlyTwo = {5, 60, 35}; // 9A1AA, S51AB
constexpr std::array<int, 3> kMostlyThree = {0, 10, 90};

// Prefixes heard often on the amateur bands, weighted by about how often.
constexpr CallPrefix kPrefixes[] = {
    {"K", 60, true, kUsShort},     {"W", 50, true, kUsShort},      {"N", 30, true, kUsShort},
    {"AA", 6, true, kUsTwo},       {"AD", 4, true, kUsTwo},        {"KB", 6, true, kThree},
    {"KD", 5, true, kThree},       {"WA", 5, true, kThree},        {"VE", 8, true, kUsShort},
    {"VA", 4, true, kUsShort},     {"DL", 40, true, kEurope},      {"DK", 15, true, kEurope},
    {"DJ", 8, true, kEurope},      {"DO", 8, true, kThree},        {"DF", 6, true, kEurope},
    {"G", 20, true, kUsShort},     {"M", 12, true, kMostlyThree},  {"GM", 4, true, kEurope},
    {"GW", 3, true, kEurope},      {"EI", 4, true, kEurope},       {"F", 15, true, kUsShort},
    {"I", 12, true, kUsShort},     {"IK", 10, true, kThree},       {"IZ", 8, true, kThree},
    {"EA", 15, true, kUsShort},    {"ON", 6, true, kEurope},       {"PA", 10, true, kUsShort},
    {"OE", 5, true, kEurope},      {"HB9", 6, false, kUsShort},    {"OK", 8, true, kUsShort},
    {"OM", 4, true, kUsShort},     {"SP", 12, true, kEurope},      {"HA", 6, true, kUsShort},
    {"YO", 5, true, kUsShort},     {"LZ", 4, true, kUsShort},      {"YU", 3, true, kUsShort},
    {"9A", 4, true, kMostlyTwo},   {"S5", 4, true, kMostlyTwo},    {"OH", 8, true, kUsShort},
    {"SM", 8, true, kUsShort},     {"LA", 4, true, kEurope},       {"OZ", 5, true, kEurope},
    {"ES", 3, true, kMostlyTwo},   {"YL", 3, true, kMostlyTwo},    {"LY", 4, true, kMostlyTwo},
    {"SV", 3, true, kUsShort},     {"UA", 20, true, kMostlyThree}, {"RA", 10, true, kMostlyThree},
    {"RW", 6, true, kMostlyThree}, {"RZ", 4, true, kMostlyThree},  {"UR", 6, true, kMostlyThree},
    {"UT", 5, true, kMostlyThree}, {"EW", 3, true, kMostlyThree},  {"JA", 20, true, kMostlyThree},
    {"JH", 8, true, kThree},       {"JR", 5, true, kThree},        {"HL", 3, true, kMostlyThree},
    {"BG", 3, true, kMostlyThree}, {"VK", 6, true, kUsShort},      {"ZL", 4, true, kEurope},
    {"ZS", 4, true, kEurope},      {"PY", 6, true, kUsShort},      {"LU", 5, true, kUsShort},
    {"CE", 2, true, kUsShort},     {"XE", 2, true, kUsShort},      {"4X", 3, true, kMostlyTwo},
};

// Procedure words, abbreviations and Q-codes weigh most, then reports, names and numbers.
constexpr TelegraphWord kWords[] = {
    {"CQ", 8},   {"DE", 8},     {"K", 5},    {"KN", 4},   {"SK", 3},    {"BK", 3},   {"R", 4},      {"TU", 5},
    {"73", 6},   {"88", 1},     {"ES", 5},   {"5NN", 5},  {"599", 4},   {"579", 2},  {"559", 2},    {"449", 1},
    {"RST", 5},  {"UR", 5},     {"HR", 4},   {"OP", 3},   {"NAME", 4},  {"QTH", 5},  {"RIG", 3},    {"ANT", 3},
    {"PWR", 3},  {"WX", 3},     {"TEMP", 2}, {"ABT", 2},  {"AGN", 3},   {"PSE", 4},  {"TNX", 4},    {"TKS", 3},
    {"FB", 4},   {"OM", 3},     {"YL", 2},   {"XYL", 1},  {"DR", 2},    {"GM", 3},   {"GA", 2},     {"GE", 3},
    {"GN", 2},   {"GL", 3},     {"CUL", 3},  {"HPE", 2},  {"HW", 3},    {"HW?", 2},  {"CPY", 2},    {"FER", 3},
    {"INFO", 1}, {"VY", 2},     {"NR", 2},   {"SIG", 1},  {"RPRT", 2},  {"SRI", 2},  {"HI", 2},     {"MNI", 1},
    {"BURO", 1}, {"DIRECT", 1}, {"TEST", 2}, {"QRZ?", 2}, {"QRL?", 2},  {"QRM", 2},  {"QRN", 2},    {"QRO", 1},
    {"QRP", 2},  {"QRQ", 1},    {"QRS", 2},  {"QRT", 2},  {"QRU", 1},   {"QRV", 1},  {"QRX", 1},    {"QSB", 2},
    {"QSK", 1},  {"QSL", 3},    {"QSO", 3},  {"QSY", 2},  {"QTR", 1},   {"JOHN", 1}, {"BOB", 1},    {"JIM", 1},
    {"TOM", 1},  {"MIKE", 1},   {"DAVE", 1}, {"PETE", 1}, {"BILL", 1},  {"HANS", 1}, {"KLAUS", 1},  {"JAN", 1},
    {"PIET", 1}, {"IVAN", 1},   {"OLEG", 1}, {"YURI", 1}, {"PAOLO", 1}, {"LUCA", 1}, {"JOSE", 1},   {"TARO", 1},
    {"ANNA", 1}, {"MARY", 1},   {"5W", 1},   {"10W", 1},  {"100W", 2},  {"1KW", 1},  {"DIPOLE", 1}, {"YAGI", 1},
    {"VERT", 1}, {"1", 1},      {"2", 1},    {"3", 1},    {"4", 1},     {"5", 1},    {"6", 1},      {"7", 1},
    {"8", 1},    {"9", 1},      {"0", 1},    {"14", 1},   {"20", 1},    {"40", 1},   {"80", 1},
};

// One QSO, over by over. {A} calls CQ and {B} answers; {NA}, {QA} are A's name and QTH, {NB},
// {QB} B's; {RA} the report A gives, {RB} the one B gives.
constexpr std::string_view kQsoOvers[] = {
    "CQ CQ CQ DE {A} {A} {A} K",
    "{A} DE {B} {B} K",
    "{B} DE {A} {GREET} OM TNX FER CALL UR RST {RA} {RA} NAME {NA} {NA} QTH {QA} {QA} HW? {B} DE {A} KN",
    "{A} DE {B} R FB {NA} TNX RPRT UR RST {RB} {RB} NAME {NB} {NB} QTH {QB} {QB} {A} DE {B} KN",
    "{B} DE {A} R TNX {NB} RIG HR {RIG} PWR {PWR}W ANT {ANT} WX {WX} TEMP {TEMP}C {B} DE {A} KN",
    "{A} DE {B} TNX FER QSO {NA} 73 ES GL {A} DE {B} SK",
    "{B} DE {A} TU {NB} 73 CUL SK",
};

constexpr std::string_view kNames[] = {"JOHN", "BOB",  "JIM",  "TOM",  "MIKE",  "DAVE", "PETE", "BILL", "HANS",
                                       "JAN",  "PIET", "IVAN", "OLEG", "YURI",  "LUCA", "JOSE", "TARO", "KEN",
                                       "ALEX", "ANNA", "MARY", "SUE",  "KLAUS", "PAUL", "ERIK", "LARS"};
constexpr std::string_view kQths[] = {"BERLIN", "PARIS",  "LONDON", "ROMA",  "MADRID", "OSLO",   "PRAHA",
                                      "WIEN",   "MOSKVA", "KIEV",   "TOKYO", "BOSTON", "DALLAS", "OTTAWA",
                                      "SYDNEY", "RIGA",   "MINSK",  "SOFIA", "BERN",   "ESSEN",  "LYON"};
constexpr std::string_view kReports[] = {"599", "5NN", "579", "589", "559", "569", "449", "339"};
constexpr std::string_view kRigs[] = {"IC7300", "IC7610", "FT991", "FT710", "K3", "K4", "TS590", "FT817", "KX3"};
constexpr std::string_view kPowers[] = {"5", "10", "50", "100", "100", "100", "400", "500"};
constexpr std::string_view kAntennas[] = {"DIPOLE", "YAGI", "VERT", "GP", "LW", "LOOP", "WINDOM", "DELTA"};
constexpr std::string_view kWeather[] = {"SUNNY", "CLOUDY", "RAIN", "SNOW", "FOG", "WINDY", "FB"};
constexpr std::string_view kGreetings[] = {"GM", "GA", "GE"};

// Draws from the text generator seeded with the text-number digits.
class Draws {
public:
    explicit Draws(const std::array<int, 4>& d) { rng_.SeedRandom(0, kDrawHigh, d[0], d[1], d[2], d[3]); }

    // 0..n-1.
    int Below(int n) { return n <= 1 ? 0 : rng_.NextRandom() % n; }

    // An index into `weights`, each as often as its weight.
    template <typename Weights, typename WeightOf> std::size_t Weighted(const Weights& items, WeightOf weightOf) {
        int total = 0;
        for (const auto& item : items) {
            total += weightOf(item);
        }
        int r = Below(total);
        std::size_t i = 0;
        for (const auto& item : items) {
            r -= weightOf(item);
            if (r < 0) {
                return i;
            }
            ++i;
        }
        return 0;
    }

    template <std::size_t N> std::string_view Pick(const std::string_view (&list)[N]) {
        return list[static_cast<std::size_t>(Below(static_cast<int>(N)))];
    }

private:
    ChaosRandom rng_;
};

std::string Callsign(Draws& draws) {
    const CallPrefix& p = kPrefixes[draws.Weighted(kPrefixes, [](const CallPrefix& e) { return e.weight; })];
    std::string call(p.prefix);
    if (p.digitFollows) {
        call += static_cast<char>('0' + draws.Below(10));
    }
    const std::size_t letters = 1 + draws.Weighted(p.suffixWeights, [](int w) { return w; });
    for (std::size_t i = 0; i < letters; ++i) {
        call += static_cast<char>('A' + draws.Below(26));
    }
    const int ending = draws.Below(100);
    if (ending < kPortablePercent) {
        call += "/P";
    } else if (ending < kPortablePercent + kMobilePercent) {
        call += "/M";
    } else if (ending < kPortablePercent + kMobilePercent + kQrpPercent) {
        call += "/QRP";
    }
    return call;
}

// The fields of one QSO, drawn in a fixed order when it begins.
struct QsoFields {
    std::string a, b;
    std::string_view nameA, nameB, qthA, qthB, reportA, reportB, rig, power, antenna, weather, greeting;
    int temperature = 0; // [degrees Celsius]
};

QsoFields NewQso(Draws& draws) {
    QsoFields f;
    f.a = Callsign(draws);
    do {
        f.b = Callsign(draws);
    } while (f.b == f.a);
    f.nameA = draws.Pick(kNames);
    f.nameB = draws.Pick(kNames);
    f.qthA = draws.Pick(kQths);
    f.qthB = draws.Pick(kQths);
    f.reportA = draws.Pick(kReports);
    f.reportB = draws.Pick(kReports);
    f.rig = draws.Pick(kRigs);
    f.power = draws.Pick(kPowers);
    f.antenna = draws.Pick(kAntennas);
    f.weather = draws.Pick(kWeather);
    f.greeting = draws.Pick(kGreetings);
    f.temperature = draws.Below(36); // 0..35
    return f;
}

std::string FillOver(std::string_view over, const QsoFields& f) {
    std::string out;
    out.reserve(over.size() + 64);
    for (std::size_t i = 0; i < over.size(); ++i) {
        if (over[i] != '{') {
            out += over[i];
            continue;
        }
        const std::size_t close = over.find('}', i);
        const std::string_view field = over.substr(i + 1, close - i - 1);
        i = close;
        const std::string temperature = std::to_string(f.temperature);
        const struct {
            std::string_view name;
            std::string_view value;
        } kFields[] = {
            {"A", f.a},         {"B", f.b},        {"NA", f.nameA},       {"NB", f.nameB},      {"QA", f.qthA},
            {"QB", f.qthB},     {"RA", f.reportA}, {"RB", f.reportB},     {"RIG", f.rig},       {"PWR", f.power},
            {"ANT", f.antenna}, {"WX", f.weather}, {"TEMP", temperature}, {"GREET", f.greeting}};
        for (const auto& entry : kFields) {
            if (entry.name == field) {
                out += entry.value;
            }
        }
    }
    return out;
}

} // namespace

std::optional<TextSource> TextSourceByName(std::string_view name) {
    for (TextSource s : {TextSource::Groups, TextSource::Callsigns, TextSource::Words, TextSource::Qso}) {
        if (TextSourceName(s) == name) {
            return s;
        }
    }
    return std::nullopt;
}

std::string_view TextSourceName(TextSource source) {
    switch (source) {
    case TextSource::Groups:
        return "groups";
    case TextSource::Callsigns:
        return "callsigns";
    case TextSource::Words:
        return "words";
    case TextSource::Qso:
        return "qso";
    }
    return "groups";
}

std::span<const CallPrefix> CallPrefixTable() {
    return kPrefixes;
}

std::span<const TelegraphWord> TelegraphWords() {
    return kWords;
}

std::span<const std::string_view> QsoOverTemplates() {
    return kQsoOvers;
}

std::string SourceItems(TextSource source, int count, const std::array<int, 4>& digits) {
    std::string text;
    if (count <= 0 || source == TextSource::Groups) {
        return text;
    }
    Draws draws(digits);
    QsoFields qso;
    for (int i = 0; i < count; ++i) {
        switch (source) {
        case TextSource::Callsigns:
            text += Callsign(draws);
            break;
        case TextSource::Words:
            text += kWords[draws.Weighted(kWords, [](const TelegraphWord& w) { return w.weight; })].word;
            break;
        case TextSource::Qso: {
            const std::size_t over = static_cast<std::size_t>(i) % std::size(kQsoOvers);
            if (over == 0) {
                qso = NewQso(draws);
            }
            text += FillOver(kQsoOvers[over], qso);
            break;
        }
        case TextSource::Groups:
            break;
        }
        text += ' ';
    }
    return text;
}

std::vector<std::string> ItemsMadeOf(TextSource source, std::string_view allowed, int drawn,
                                     const std::array<int, 4>& digits) {
    std::vector<std::string> items;
    if (source != TextSource::Callsigns && source != TextSource::Words) {
        return items;
    }
    const std::string text = SourceItems(source, drawn, digits);
    std::size_t begin = 0;
    while (begin < text.size()) {
        const std::size_t end = std::min(text.find(' ', begin), text.size());
        const std::string_view item = std::string_view(text).substr(begin, end - begin);
        if (!item.empty() && item.find_first_not_of(allowed) == std::string_view::npos) {
            items.emplace_back(item);
        }
        begin = end + 1;
    }
    return items;
}

} // namespace qlor
