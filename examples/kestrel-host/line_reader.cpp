#include "line_reader.h"

#include <istream>

namespace kestrel_host {

namespace {

class StreamReader : public LineReader {
public:
    explicit StreamReader(std::istream& in) : m_in(in) {}
    bool ReadLine(std::string& line) override { return static_cast<bool>(std::getline(m_in, line)); }
    bool Interactive() const override { return false; }

private:
    std::istream& m_in;
};

}  // namespace

std::unique_ptr<LineReader> MakeStreamReader(std::istream& in) { return std::make_unique<StreamReader>(in); }

}  // namespace kestrel_host
