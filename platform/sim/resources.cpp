// Reads the program's own resource script, so that the host tests run the
// dialogs with the very ids, classes, texts and styles the .exe carries.
// It understands what the script uses: #define lines of the resource header,
// DIALOG/DIALOGEX templates written with CONTROL statements, STRINGTABLE and
// ICON lines; everything else (version record, manifest, language) is
// skipped.
#include "platform/sim/sim.h"

#include <cctype>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace sim {

namespace {

struct Tokens {
    std::vector<std::string> items; // strings keep their quotes
    size_t pos = 0;
    bool More() const { return pos < items.size(); }
    const std::string& Peek() const { return items[pos]; }
    std::string Next() { return More() ? items[pos++] : std::string(); }
};

Tokens Tokenize(const std::string& line) {
    Tokens t;
    size_t i = 0;
    while (i < line.size()) {
        char c = line[i];
        if (std::isspace(static_cast<unsigned char>(c))) {
            ++i;
        } else if (c == '/' && i + 1 < line.size() && line[i + 1] == '/') {
            break;
        } else if (c == '"') {
            std::string s = "\"";
            ++i;
            while (i < line.size()) {
                if (line[i] == '"' && i + 1 < line.size() && line[i + 1] == '"') {
                    s += '"';
                    i += 2;
                } else if (line[i] == '"') {
                    ++i;
                    break;
                } else if (line[i] == '\\' && i + 1 < line.size()) {
                    char e = line[i + 1];
                    s += e == 'n' ? '\n' : e == 't' ? '\t' : e;
                    i += 2;
                } else {
                    s += line[i++];
                }
            }
            t.items.push_back(s);
        } else if (c == ',' || c == '|' || c == '(' || c == ')') {
            t.items.push_back(std::string(1, c));
            ++i;
        } else {
            size_t j = i;
            while (j < line.size() && !std::isspace(static_cast<unsigned char>(line[j])) &&
                   line[j] != ',' && line[j] != '|' && line[j] != '"' && line[j] != '(' &&
                   line[j] != ')')
                ++j;
            t.items.push_back(line.substr(i, j - i));
            i = j;
        }
    }
    return t;
}

const std::map<std::string, long>& KnownNames() {
    static const std::map<std::string, long> names = {
        {"WS_POPUP", 0x80000000L},
        {"WS_CHILD", 0x40000000L},
        {"WS_VISIBLE", 0x10000000L},
        {"WS_DISABLED", 0x08000000L},
        {"WS_CAPTION", 0x00C00000L},
        {"WS_BORDER", 0x00800000L},
        {"WS_SYSMENU", 0x00080000L},
        {"WS_GROUP", 0x00020000L},
        {"WS_TABSTOP", 0x00010000L},
        {"WS_EX_APPWINDOW", 0x00040000L},
        {"DS_MODALFRAME", 0x80L},
        {"DS_SETFONT", 0x40L},
        {"DS_CENTER", 0x800L},
        {"BS_PUSHBUTTON", 0},
        {"BS_DEFPUSHBUTTON", 1},
        {"BS_GROUPBOX", 7},
        {"BS_ICON", 0x40},
        {"ES_LEFT", 0},
        {"ES_READONLY", 0x800},
        {"ES_AUTOHSCROLL", 0x80},
        {"SS_LEFT", 0},
        {"SS_ICON", 3},
        {"SS_NOPREFIX", 0x80},
        {"SS_SUNKEN", 0x1000},
        {"IDOK", 1},
        {"IDCANCEL", 2},
        {"IDC_STATIC", -1},
    };
    return names;
}

class Script {
public:
    std::map<std::string, long> defines;

    long Value(const std::string& token) const {
        if (token.empty())
            throw std::runtime_error("resource script: missing value");
        if (std::isdigit(static_cast<unsigned char>(token[0])) || token[0] == '-')
            return std::stol(token, nullptr, 0);
        auto d = defines.find(token);
        if (d != defines.end())
            return d->second;
        auto k = KnownNames().find(token);
        if (k != KnownNames().end())
            return k->second;
        throw std::runtime_error("resource script: unknown name " + token);
    }

    // name | name | NOT name ... up to the next comma.
    long Expression(Tokens& t) const {
        long v = 0;
        bool negate = false;
        while (t.More() && t.Peek() != ",") {
            std::string tok = t.Next();
            if (tok == "|" || tok == "(" || tok == ")")
                continue;
            if (tok == "NOT") {
                negate = true;
                continue;
            }
            long x = Value(tok);
            v = negate ? (v & ~x) : (v | x);
            negate = false;
        }
        return v;
    }
};

std::string Unquote(const std::string& s) {
    return !s.empty() && s[0] == '"' ? s.substr(1) : s;
}

} // namespace

void World::LoadResourceScript(const std::string& rcPath, const std::string& headerPath) {
    Script script;
    std::ifstream header(headerPath);
    if (!header)
        throw std::runtime_error("cannot read " + headerPath);
    for (std::string line; std::getline(header, line);) {
        Tokens t = Tokenize(line);
        if (t.items.size() >= 3 && t.items[0] == "#define") {
            std::string value = t.items[2] == "(" && t.items.size() >= 4 ? t.items[3] : t.items[2];
            try {
                script.defines[t.items[1]] = script.Value(value);
            } catch (const std::exception&) {
            }
        }
    }

    std::ifstream rc(rcPath);
    if (!rc)
        throw std::runtime_error("cannot read " + rcPath);
    std::vector<std::string> lines;
    for (std::string line; std::getline(rc, line);)
        lines.push_back(line);

    DialogTemplate* dialog = nullptr;
    enum { None, InDialog, InStrings, Skipping } mode = None;
    int depth = 0;
    for (size_t n = 0; n < lines.size(); ++n) {
        std::string line = lines[n];
        // A statement may continue on the next line after a trailing comma or |.
        while (n + 1 < lines.size()) {
            std::string trimmed = line;
            while (!trimmed.empty() && std::isspace(static_cast<unsigned char>(trimmed.back())))
                trimmed.pop_back();
            if (trimmed.empty() || (trimmed.back() != ',' && trimmed.back() != '|'))
                break;
            line = trimmed + " " + lines[++n];
        }
        Tokens t = Tokenize(line);
        if (!t.More() || t.Peek()[0] == '#')
            continue;
        std::string first = t.Peek();
        if (first == "BEGIN" || first == "{") {
            ++depth;
            continue;
        }
        if (first == "END" || first == "}") {
            if (--depth == 0)
                mode = None;
            continue;
        }
        if (mode == Skipping)
            continue;
        if (mode == InStrings) {
            int id = static_cast<int>(script.Value(t.Next()));
            if (t.More() && t.Peek() == ",")
                t.Next();
            strings[id] = Unquote(t.Next());
            continue;
        }
        if (mode == InDialog && depth == 0) {
            if (first == "CAPTION") {
                t.Next();
                dialog->caption = Unquote(t.Next());
            } else if (first == "STYLE") {
                t.Next();
                dialog->style = static_cast<DWORD>(script.Expression(t));
            }
            continue;
        }
        if (mode == InDialog && depth == 1) {
            if (first != "CONTROL")
                throw std::runtime_error("resource script: use CONTROL statements: " + line);
            t.Next();
            ControlTemplate c;
            std::string text = t.Next();
            c.text = text[0] == '"' ? Unquote(text) : std::to_string(script.Value(text));
            t.Next();
            c.id = static_cast<int>(script.Value(t.Next()));
            t.Next();
            c.cls = Unquote(t.Next());
            t.Next();
            c.style = static_cast<DWORD>(script.Expression(t)) | WS_CHILD | WS_VISIBLE;
            int* fields[] = {&c.x, &c.y, &c.cx, &c.cy};
            for (int* f : fields) {
                t.Next();
                *f = static_cast<int>(script.Value(t.Next()));
            }
            dialog->controls.push_back(c);
            continue;
        }
        if (depth > 0)
            continue;
        // Top-level statements: NAME TYPE ...
        std::string name = t.Next();
        std::string type = t.Next();
        if (name == "STRINGTABLE" || type == "STRINGTABLE") {
            mode = InStrings;
        } else if (type == "DIALOG" || type == "DIALOGEX") {
            int id = static_cast<int>(script.Value(name));
            dialog = &dialogs[id];
            *dialog = DialogTemplate{};
            dialog->id = id;
            std::vector<int> box;
            while (t.More()) {
                std::string tok = t.Next();
                if (tok != ",")
                    box.push_back(static_cast<int>(script.Value(tok)));
            }
            if (box.size() >= 4) {
                dialog->cx = box[2];
                dialog->cy = box[3];
            }
            mode = InDialog;
        } else if (type == "ICON") {
            icons.push_back(static_cast<int>(script.Value(name)));
        } else if (type == "VERSIONINFO" || type == "MENU" || type == "ACCELERATORS") {
            mode = Skipping;
        }
    }
}

} // namespace sim
