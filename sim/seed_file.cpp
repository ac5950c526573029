#include "sim/seed_file.h"

#include "sim/scale_display.h"
#include "sim/scale_records.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <iomanip>
#include <limits>
#include <map>
#include <optional>
#include <sstream>
#include <vector>

namespace sim {

namespace {

// A seed line longer than this is not a seed line.
constexpr std::size_t kMaxLineLength = 4096;
// More lines than any scale holds (1801 PLUs, report and logo chunks, settings).
constexpr int kMaxLines = 20'000;
// Raw bytes are dumped in rows of this many.
constexpr std::size_t kDumpRow = 32;

struct Token {
    std::string text;
    bool quoted = false;
};

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// Splits a line into tokens; quoted parts are unescaped and keep their blanks.
bool tokenize(const std::string& line, std::vector<Token>& tokens, std::string& why) {
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) {
            ++i;
        }
        if (i >= line.size() || line[i] == '#') {
            return true; // the rest is a comment
        }
        Token token;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') {
            if (line[i] != '"') {
                token.text.push_back(line[i++]);
                continue;
            }
            token.quoted = true;
            ++i;
            bool closed = false;
            while (i < line.size()) {
                const char c = line[i++];
                if (c == '"') {
                    closed = true;
                    break;
                }
                if (c != '\\') {
                    token.text.push_back(c);
                    continue;
                }
                if (i >= line.size()) {
                    break;
                }
                const char e = line[i++];
                if (e == 'x') {
                    const int hi = i < line.size() ? hexDigit(line[i]) : -1;
                    const int lo = i + 1 < line.size() ? hexDigit(line[i + 1]) : -1;
                    if (hi < 0 || lo < 0) {
                        why = "\\x needs two hex digits";
                        return false;
                    }
                    token.text.push_back(static_cast<char>(hi * 16 + lo));
                    i += 2;
                } else {
                    token.text.push_back(e);
                }
            }
            if (!closed) {
                why = "a quote is not closed";
                return false;
            }
        }
        tokens.push_back(token);
    }
    return true;
}

std::optional<std::int64_t> parseWhole(const std::string& text) {
    std::int64_t value = 0;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    bool negative = false;
    if (first != last && (*first == '-' || *first == '+')) {
        negative = *first == '-';
        ++first;
    }
    int base = 10;
    if (last - first > 2 && first[0] == '0' && (first[1] == 'x' || first[1] == 'X')) {
        base = 16;
        first += 2;
    }
    if (first == last) {
        return std::nullopt;
    }
    const auto [end, ec] = std::from_chars(first, last, value, base);
    if (ec != std::errc{} || end != last) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

// A decimal with up to `decimals` places, as a count of its smallest unit.
std::optional<std::int64_t> parseFixed(const std::string& text, int decimals) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    std::int64_t value = 0;
    int digits = 0;
    int places = -1;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '.' && places < 0) {
            places = 0;
            continue;
        }
        if (c < '0' || c > '9' || digits >= 15 || places >= decimals) {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
        ++digits;
        if (places >= 0) {
            ++places;
        }
    }
    if (digits == 0) {
        return std::nullopt;
    }
    for (int p = std::max(places, 0); p < decimals; ++p) {
        value *= 10;
    }
    return negative ? -value : value;
}

std::string formatFixed(std::int64_t value, int decimals) {
    const bool negative = value < 0;
    const std::uint64_t magnitude =
        negative ? static_cast<std::uint64_t>(-(value + 1)) + 1 : static_cast<std::uint64_t>(value);
    std::uint64_t scale = 1;
    for (int i = 0; i < decimals; ++i) {
        scale *= 10;
    }
    std::ostringstream out;
    out << (negative ? "-" : "") << magnitude / scale << '.' << std::setw(decimals) << std::setfill('0')
        << magnitude % scale;
    return out.str();
}

std::string quote(const std::string& text) {
    std::string out = "\"";
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\') {
            out.push_back('\\');
            out.push_back(ch);
        } else if (c < 0x20 || c >= 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", c);
            out += hex;
        } else {
            out.push_back(ch);
        }
    }
    return out + "\"";
}

std::string hexBytes(const std::uint8_t* bytes, std::size_t count) {
    std::string out;
    char hex[4];
    for (std::size_t i = 0; i < count; ++i) {
        std::snprintf(hex, sizeof hex, "%02x", bytes[i]);
        if (i > 0) {
            out.push_back(' ');
        }
        out += hex;
    }
    return out;
}

class SeedParser {
  public:
    explicit SeedParser(ScaleMemory& memory) : m_(memory) {}

    bool apply(const std::vector<Token>& t, std::string& why) {
        const std::string& item = t[0].text;
        args_ = std::vector<Token>(t.begin() + 1, t.end());
        why_ = &why;
        if (item == "id") {
            return text(0, m_.identification, 32);
        }
        if (item == "status") {
            return byte(0, m_.status);
        }
        if (item == "clock") {
            return clock();
        }
        if (item == "plu") {
            return plu();
        }
        if (item == "clerk") {
            return indexedText(m_.clerkNames, 1, 16);
        }
        if (item == "line") {
            return indexedText(m_.printLines, 1, 32);
        }
        if (item == "dept") {
            return indexedText(m_.departmentNames, 0, 16);
        }
        if (item == "tax") {
            return tax();
        }
        if (item == "settings") {
            return fixedBytes(m_.generalSettings);
        }
        if (item == "system") {
            if (!fixedBytes(m_.systemParameters)) {
                return false;
            }
            m_.systemParametersWritten = true;
            return true;
        }
        if (item == "report") {
            return rawBytes(m_.reportMemory);
        }
        if (item == "logo") {
            return rawBytes(m_.logoMemory);
        }
        if (item.rfind("report.", 0) == 0) {
            return report(item.substr(7));
        }
        if (item == "weight") {
            return fixed(0, 3, m_.weightGrams);
        }
        if (item == "keyed") {
            return fixed(0, 2, m_.keyedPrice);
        }
        if (item == "display") {
            return display();
        }
        if (item == "indicators") {
            return byte(0, m_.indicatorsA) && byte(1, m_.indicatorsB);
        }
        return fail("unknown item '" + item + "'");
    }

    bool displayGiven = false;

  private:
    bool fail(const std::string& why) {
        *why_ = why;
        return false;
    }
    bool need(std::size_t n) { return args_.size() >= n || fail("needs " + std::to_string(n) + " value(s)"); }
    bool whole(std::size_t at, std::int64_t low, std::int64_t high, std::int64_t& out) {
        if (!need(at + 1)) {
            return false;
        }
        const auto v = parseWhole(args_[at].text);
        if (!v || *v < low || *v > high) {
            return fail("'" + args_[at].text + "' is not a whole number from " + std::to_string(low) +
                        " to " + std::to_string(high));
        }
        out = *v;
        return true;
    }
    bool byte(std::size_t at, std::uint8_t& out) {
        std::int64_t v = 0;
        if (!whole(at, 0, 255, v)) {
            return false;
        }
        out = static_cast<std::uint8_t>(v);
        return true;
    }
    bool text(std::size_t at, std::string& out, std::size_t width) {
        if (!need(at + 1)) {
            return false;
        }
        if (args_[at].text.size() > width) {
            return fail("text longer than " + std::to_string(width) + " bytes");
        }
        out = args_[at].text;
        return true;
    }
    template <class T> bool fixed(std::size_t at, int decimals, T& out) {
        if (!need(at + 1)) {
            return false;
        }
        const auto v = parseFixed(args_[at].text, decimals);
        if (!v || *v < std::numeric_limits<T>::min() || *v > std::numeric_limits<T>::max()) {
            return fail("'" + args_[at].text + "' is not a number with up to " + std::to_string(decimals) +
                        " decimals in range");
        }
        out = static_cast<T>(*v);
        return true;
    }
    template <std::size_t N>
    bool indexedText(std::array<std::string, N>& texts, int first, std::size_t width) {
        std::int64_t index = 0;
        if (!whole(0, first, first + static_cast<std::int64_t>(N) - 1, index)) {
            return false;
        }
        return text(1, texts[static_cast<std::size_t>(index - first)], width);
    }
    bool hexList(std::size_t from, std::vector<std::uint8_t>& out) {
        for (std::size_t i = from; i < args_.size(); ++i) {
            const std::string& h = args_[i].text;
            if (h.size() != 2 || hexDigit(h[0]) < 0 || hexDigit(h[1]) < 0) {
                return fail("'" + h + "' is not a hex byte");
            }
            out.push_back(static_cast<std::uint8_t>(hexDigit(h[0]) * 16 + hexDigit(h[1])));
        }
        return true;
    }
    template <std::size_t N> bool fixedBytes(std::array<std::uint8_t, N>& into) {
        std::vector<std::uint8_t> bytes;
        if (!hexList(0, bytes)) {
            return false;
        }
        if (bytes.size() != N) {
            return fail("needs exactly " + std::to_string(N) + " hex bytes");
        }
        std::copy(bytes.begin(), bytes.end(), into.begin());
        return true;
    }
    bool rawBytes(std::vector<std::uint8_t>& into) {
        std::int64_t at = 0;
        std::vector<std::uint8_t> bytes;
        if (!whole(0, 0, static_cast<std::int64_t>(into.size()) - 1, at) || !hexList(1, bytes)) {
            return false;
        }
        if (static_cast<std::size_t>(at) + bytes.size() > into.size()) {
            return fail("bytes run past the end of the memory");
        }
        std::copy(bytes.begin(), bytes.end(), into.begin() + at);
        return true;
    }
    bool clock() {
        if (!need(2)) {
            return false;
        }
        int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
        char tail = 0;
        if (std::sscanf(args_[0].text.c_str(), "%d-%d-%d%c", &y, &mo, &d, &tail) != 3 ||
            std::sscanf(args_[1].text.c_str(), "%d:%d:%d%c", &h, &mi, &s, &tail) != 3 || y < 2000 ||
            y > 2255 || mo < 0 || mo > 255 || d < 0 || d > 255 || h < 0 || h > 255 || mi < 0 || mi > 255 ||
            s < 0 || s > 255) {
            return fail("a clock is written YYYY-MM-DD HH:MM:SS");
        }
        m_.clock = {static_cast<std::uint8_t>(y - 2000), static_cast<std::uint8_t>(mo),
                    static_cast<std::uint8_t>(d),        static_cast<std::uint8_t>(h),
                    static_cast<std::uint8_t>(mi),       static_cast<std::uint8_t>(s)};
        return true;
    }
    // key=value pairs after the first `from` arguments.
    bool pairs(std::size_t from, std::map<std::string, Token>& out) {
        for (std::size_t i = from; i < args_.size(); ++i) {
            const auto eq = args_[i].text.find('=');
            if (eq == std::string::npos) {
                return fail("'" + args_[i].text + "' is not a name=value pair");
            }
            out[args_[i].text.substr(0, eq)] = Token{args_[i].text.substr(eq + 1), args_[i].quoted};
        }
        return true;
    }
    template <class T>
    bool field(std::map<std::string, Token>& f, const std::string& key, int decimals, T& out) {
        const auto it = f.find(key);
        if (it == f.end()) {
            return true;
        }
        const auto v = decimals > 0 ? parseFixed(it->second.text, decimals) : parseWhole(it->second.text);
        if (!v || *v < std::numeric_limits<T>::min() || *v > std::numeric_limits<T>::max()) {
            return fail(key + "='" + it->second.text + "' is out of range");
        }
        out = static_cast<T>(*v);
        f.erase(it);
        return true;
    }
    bool leftovers(const std::map<std::string, Token>& f) {
        return f.empty() || fail("unknown field '" + f.begin()->first + "'");
    }
    bool plu() {
        std::int64_t number = 0;
        std::map<std::string, Token> f;
        if (!whole(0, 0, kPluCount - 1, number) || !pairs(1, f)) {
            return false;
        }
        PluFields p;
        if (!field(f, "price", 2, p.price) || !field(f, "code", 0, p.code) ||
            !field(f, "dep", 0, p.department) || !field(f, "tax", 0, p.tax) ||
            !field(f, "flags", 0, p.flags) || !field(f, "valid", 0, p.valid) ||
            !field(f, "qty", 0, p.quantity) || !field(f, "total", 2, p.total) ||
            !field(f, "count", 0, p.count)) {
            return false;
        }
        if (const auto it = f.find("name"); it != f.end()) {
            if (it->second.text.size() > kPluNameWidth) {
                return fail("a PLU name has at most 30 bytes");
            }
            p.name = it->second.text;
            f.erase(it);
        }
        if (!leftovers(f)) {
            return false;
        }
        m_.plu[static_cast<std::size_t>(number)] = encodePlu(p);
        return true;
    }
    bool tax() {
        if (!need(2)) {
            return false;
        }
        const std::string& letter = args_[0].text;
        if (letter.size() != 1 || letter[0] < 'A' || letter[0] > 'H') {
            return fail("tax rates are named A to H");
        }
        return fixed(1, 2, m_.taxRates[static_cast<std::size_t>(letter[0] - 'A')]);
    }
    void put(std::size_t address, int width, std::int64_t value) {
        putBigEndian(m_.reportMemory, address, width, static_cast<std::uint32_t>(value));
    }
    bool report(const std::string& what) {
        std::int64_t value = 0;
        if (what == "doc") {
            if (!whole(0, INT32_MIN, INT32_MAX, value)) {
                return false;
            }
            put(kGeneralReportAddress, 4, value);
            return true;
        }
        if (what == "total") {
            std::int32_t money = 0;
            if (!fixed(0, 2, money)) {
                return false;
            }
            put(kGeneralReportAddress + 4, 4, money);
            return true;
        }
        if (what == "tax") {
            std::int64_t t = 0;
            std::int32_t money = 0;
            if (!whole(0, 1, 9, t) || !fixed(1, 2, money)) {
                return false;
            }
            put(kGeneralReportAddress + 8 + 4 * static_cast<std::size_t>(t - 1), 4, money);
            return true;
        }
        if (what == "hour") {
            std::int64_t h = 0;
            std::map<std::string, Token> f;
            std::uint16_t count = 0;
            std::int32_t total = 0;
            if (!whole(0, 0, 23, h) || !pairs(1, f) || !field(f, "count", 0, count) ||
                !field(f, "total", 2, total) || !leftovers(f)) {
                return false;
            }
            put(kGeneralReportAddress + 44 + 4 * static_cast<std::size_t>(h), 4, total);
            put(kGeneralReportAddress + 140 + 2 * static_cast<std::size_t>(h), 2, count);
            return true;
        }
        if (what == "clerk") {
            return clerkReport();
        }
        return fail("unknown report item 'report." + what + "'");
    }
    bool clerkReport() {
        std::int64_t n = 0;
        std::map<std::string, Token> f;
        if (!whole(0, 1, 4, n) || !pairs(1, f)) {
            return false;
        }
        const std::size_t base = kClerkReportAddress + kClerkReportSize * static_cast<std::size_t>(n - 1);
        std::int32_t total = 0, cancel = 0, cash = 0, credit = 0, discount = 0;
        std::uint16_t operations = 0, cancels = 0, clients = 0, discounts = 0;
        if (!field(f, "total", 2, total) || !field(f, "operations", 0, operations) ||
            !field(f, "cancel", 2, cancel) || !field(f, "cancels", 0, cancels) ||
            !field(f, "clients", 0, clients) || !field(f, "cash", 2, cash) ||
            !field(f, "credit", 2, credit) || !field(f, "discounts", 0, discounts) ||
            !field(f, "discount", 2, discount) || !leftovers(f)) {
            return false;
        }
        put(base + 0, 4, total);
        put(base + 4, 2, operations);
        put(base + 6, 4, cancel);
        put(base + 10, 2, cancels);
        put(base + 12, 2, clients);
        put(base + 14, 4, cash);
        put(base + 18, 4, credit);
        put(base + 22, 2, discounts);
        put(base + 24, 4, discount);
        return true;
    }
    bool display() {
        std::int64_t n = 0;
        std::map<std::string, Token> f;
        if (!whole(0, 1, 3, n) || !need(2) || !pairs(2, f)) {
            return false;
        }
        std::string shown;
        if (!text(1, shown, kDisplayWidth)) {
            return false;
        }
        std::uint8_t mark = 0;
        if (!field(f, "mark", 0, mark) || !leftovers(f)) {
            return false;
        }
        m_.displayLines[static_cast<std::size_t>(n - 1)] = shown;
        m_.displayMarks[static_cast<std::size_t>(n - 1)] = mark;
        displayGiven = true;
        return true;
    }

    ScaleMemory& m_;
    std::vector<Token> args_;
    std::string* why_ = nullptr;
};

void writeRawRows(std::ostream& out, const char* item, const std::vector<std::uint8_t>& memory,
                  bool hexAddress) {
    for (std::size_t at = 0; at < memory.size(); at += kDumpRow) {
        const std::size_t n = std::min(kDumpRow, memory.size() - at);
        bool zero = true;
        for (std::size_t i = 0; i < n; ++i) {
            zero = zero && memory[at + i] == 0;
        }
        if (zero) {
            continue;
        }
        out << item << ' ';
        if (hexAddress) {
            char address[24];
            std::snprintf(address, sizeof address, "0x%04zx", at);
            out << address;
        } else {
            out << at;
        }
        out << ' ' << hexBytes(memory.data() + at, n) << '\n';
    }
}

} // namespace

ScaleMemory blankMemory() {
    ScaleMemory memory;
    for (auto& record : memory.plu) {
        record = absentPlu();
    }
    redrawDisplay(memory);
    return memory;
}

bool parseSeed(std::istream& in, ScaleMemory& memory, std::string* error) {
    ScaleMemory fresh = blankMemory();
    SeedParser parser(fresh);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        std::string why;
        std::vector<Token> tokens;
        if (number > kMaxLines) {
            why = "more lines than a scale holds";
        } else if (line.size() > kMaxLineLength) {
            why = "line too long";
        } else if (tokenize(line, tokens, why) && (tokens.empty() || parser.apply(tokens, why))) {
            continue;
        }
        if (error) {
            *error = "line " + std::to_string(number) + ": " + why;
        }
        return false;
    }
    if (!parser.displayGiven) {
        redrawDisplay(fresh);
    }
    memory = std::move(fresh);
    return true;
}

bool loadSeedFile(const std::string& path, ScaleMemory& memory, std::string* error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        if (error) {
            *error = "cannot open " + path;
        }
        return false;
    }
    return parseSeed(in, memory, error);
}

void writeSeed(std::ostream& out, const ScaleMemory& m) {
    out << "# Simulated scale memory\n";
    out << "id " << quote(m.identification) << '\n';
    char status[8];
    std::snprintf(status, sizeof status, "0x%02x", m.status);
    out << "status " << status << '\n';
    char clock[40];
    std::snprintf(clock, sizeof clock, "%04d-%02d-%02d %02d:%02d:%02d", 2000 + m.clock[0], m.clock[1],
                  m.clock[2], m.clock[3], m.clock[4], m.clock[5]);
    out << "clock " << clock << '\n';
    out << "settings " << hexBytes(m.generalSettings.data(), m.generalSettings.size()) << '\n';
    if (m.systemParametersWritten) {
        out << "system " << hexBytes(m.systemParameters.data(), m.systemParameters.size()) << '\n';
    }
    for (std::size_t i = 0; i < m.clerkNames.size(); ++i) {
        out << "clerk " << i + 1 << ' ' << quote(m.clerkNames[i]) << '\n';
    }
    for (std::size_t i = 0; i < m.printLines.size(); ++i) {
        out << "line " << i + 1 << ' ' << quote(m.printLines[i]) << '\n';
    }
    for (std::size_t i = 0; i < m.departmentNames.size(); ++i) {
        if (!m.departmentNames[i].empty()) {
            out << "dept " << i << ' ' << quote(m.departmentNames[i]) << '\n';
        }
    }
    for (std::size_t i = 0; i < m.taxRates.size(); ++i) {
        out << "tax " << static_cast<char>('A' + i) << ' ' << formatFixed(m.taxRates[i], 2) << '\n';
    }
    const PluBytes absent = absentPlu();
    for (std::size_t n = 0; n < m.plu.size(); ++n) {
        if (m.plu[n] == absent) {
            continue;
        }
        const PluFields p = decodePlu(m.plu[n]);
        out << "plu " << n << " price=" << formatFixed(p.price, 2) << " code=" << p.code
            << " dep=" << int{p.department} << " tax=" << int{p.tax} << " flags=" << int{p.flags}
            << " name=" << quote(p.name) << " valid=" << p.valid << " qty=" << p.quantity
            << " total=" << formatFixed(p.total, 2) << " count=" << p.count << '\n';
    }
    writeRawRows(out, "report", m.reportMemory, true);
    writeRawRows(out, "logo", m.logoMemory, false);
    out << "weight " << formatFixed(m.weightGrams, 3) << '\n';
    out << "keyed " << formatFixed(m.keyedPrice, 2) << '\n';
    for (std::size_t i = 0; i < m.displayLines.size(); ++i) {
        out << "display " << i + 1 << ' ' << quote(m.displayLines[i]) << " mark=" << int{m.displayMarks[i]}
            << '\n';
    }
    char indicators[24];
    std::snprintf(indicators, sizeof indicators, "0x%02x 0x%02x", m.indicatorsA, m.indicatorsB);
    out << "indicators " << indicators << '\n';
}

bool writeSeedFile(const std::string& path, const ScaleMemory& memory) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) {
        return false;
    }
    writeSeed(out, memory);
    out.flush();
    return static_cast<bool>(out);
}

} // namespace sim
