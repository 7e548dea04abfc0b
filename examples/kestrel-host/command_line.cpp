#include "command_line.h"

#include <cctype>
#include <cstdint>

#include "value_parse.h"

namespace kestrel_host {

std::vector<std::string> SplitWords(const std::string& line) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            if (inWord) words.push_back(word);
            word.clear();
            inWord = false;
        } else if (c == '#' && !inWord) {
            break;
        } else if (c == '"') {
            inWord = true;
            for (++i;; ++i) {
                if (i >= line.size()) throw UsageError("unterminated \" quote");
                if (line[i] == '"') break;
                if (line[i] == '\\' && i + 1 < line.size() && (line[i + 1] == '"' || line[i + 1] == '\\')) ++i;
                word += line[i];
            }
        } else if (c == '\'') {
            inWord = true;
            const std::size_t end = line.find('\'', i + 1);
            if (end == std::string::npos) throw UsageError("unterminated ' quote");
            word += line.substr(i + 1, end - i - 1);
            i = end;
        } else {
            inWord = true;
            word += c;
        }
    }
    if (inWord) words.push_back(word);
    return words;
}

bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::string CommandSyntax::Usage() const {
    if (!forms.empty()) {
        std::string text;
        for (const std::string& form : forms) text += (text.empty() ? "" : "\n       ") + form;
        return text;
    }
    std::string text = name;
    for (std::size_t i = 0; i < params.size(); ++i) {
        const Param& p = params[i];
        const bool last = i + 1 == params.size();
        if (variadic && last)
            text += " [" + p.name + "...]";
        else if (p.fallback)
            text += " [" + p.name + (p.fallback->empty() ? "" : "=" + *p.fallback) + "]";
        else
            text += " <" + p.name + ">";
    }
    return text;
}

Args Args::Bind(const CommandSyntax& syntax, const std::vector<std::string>& words) {
    Args args;
    const std::size_t fixed = syntax.variadic && !syntax.params.empty() ? syntax.params.size() - 1 : syntax.params.size();
    std::size_t next = 0;  // the next parameter to fill by position
    for (const std::string& word : words) {
        const std::size_t eq = word.find('=');
        if (eq != std::string::npos && eq > 0) {
            const std::string name = word.substr(0, eq);
            bool known = false;
            for (std::size_t i = 0; i < fixed; ++i)
                if (syntax.params[i].name == name) known = true;
            if (known) {
                if (args.m_given.count(name)) throw UsageError(name + " is given twice");
                args.m_values[name] = word.substr(eq + 1);
                args.m_given[name] = true;
                continue;
            }
        }
        while (next < fixed && args.m_given.count(syntax.params[next].name)) ++next;
        if (next < fixed) {
            args.m_values[syntax.params[next].name] = word;
            args.m_given[syntax.params[next].name] = true;
            ++next;
        } else if (syntax.variadic) {
            args.m_rest.push_back(word);
        } else {
            throw UsageError("too many values: \"" + word + "\"");
        }
    }
    for (std::size_t i = 0; i < fixed; ++i) {
        const Param& p = syntax.params[i];
        if (args.m_given.count(p.name)) continue;
        if (!p.fallback) throw UsageError("missing " + p.name);
        args.m_values[p.name] = *p.fallback;
    }
    return args;
}

bool Args::Given(const std::string& name) const { return m_given.count(name) != 0; }

const std::string& Args::Text(const std::string& name) const {
    static const std::string empty;
    auto found = m_values.find(name);
    return found != m_values.end() ? found->second : empty;
}

int Args::Int(const std::string& name, int min, int max) const {
    try {
        return ParseInt(Text(name), name, min, max);
    } catch (const std::invalid_argument& e) {
        throw UsageError(e.what());
    }
}

long long Args::Int64(const std::string& name) const {
    try {
        return ParseInt64(Text(name), name);
    } catch (const std::invalid_argument& e) {
        throw UsageError(e.what());
    }
}

double Args::Double(const std::string& name) const {
    try {
        return ParseDouble(Text(name), name);
    } catch (const std::invalid_argument& e) {
        throw UsageError(e.what());
    }
}

bool Args::Bool(const std::string& name) const {
    try {
        return ParseBool(Text(name), name);
    } catch (const std::invalid_argument& e) {
        throw UsageError(e.what());
    }
}

int Args::Choice(const std::string& name, const std::vector<std::pair<std::string, int>>& names) const {
    const std::string& text = Text(name);
    for (const auto& [word, value] : names)
        if (SameName(word, text)) return value;
    try {
        return ParseInt(text, name);
    } catch (const std::invalid_argument&) {
        std::string list;
        for (const auto& entry : names) list += (list.empty() ? "" : ", ") + entry.first;
        throw UsageError(name + ": expected one of " + list + " or a number, got \"" + text + "\"");
    }
}

}  // namespace kestrel_host
