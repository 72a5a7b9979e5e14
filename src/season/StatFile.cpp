#include "StatFile.h"

#include "SeasonData.h"
#include "Teams.h"
#include "TextDamage.h"
#include "VbConvert.h"
#include "VbError.h"

#include <cmath>
#include <functional>

namespace vexal {

// ---- fields ----

// A UTF-8 mark is no part of the first field.
StatFileReader::StatFileReader(std::string text) : text_(WithoutUtf8Mark(text)) {}

void StatFileReader::SkipBlanks()
{
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t'))
        ++pos_;
}

bool StatFileReader::AtLineEnd() const { return pos_ < text_.size() && (text_[pos_] == '\r' || text_[pos_] == '\n'); }

void StatFileReader::SkipLineEnd()
{
    if (pos_ < text_.size() && text_[pos_] == '\r')
        ++pos_;
    if (pos_ < text_.size() && text_[pos_] == '\n')
        ++pos_;
}

bool StatFileReader::AtEnd()
{
    for (;;) {
        SkipBlanks();
        if (AtLineEnd())
            SkipLineEnd();
        else if (pos_ < text_.size() && text_[pos_] == '\x1A') // end-of-file mark of old editors
            pos_ = text_.size();
        else
            break;
    }
    return pos_ >= text_.size();
}

bool StatFileReader::NextField(std::string& field)
{
    // Line ends where a field would start (blank lines, a comma ending a line) separate only.
    if (AtEnd())
        return false;
    field.clear();
    if (text_[pos_] == '"') {
        std::size_t close = text_.find('"', pos_ + 1);
        if (close == std::string::npos)
            close = text_.size();
        field = text_.substr(pos_ + 1, close - pos_ - 1);
        pos_ = std::min(close + 1, text_.size());
        while (pos_ < text_.size() && text_[pos_] != ',' && !AtLineEnd())
            ++pos_;
    } else {
        std::size_t start = pos_;
        while (pos_ < text_.size() && text_[pos_] != ',' && !AtLineEnd())
            ++pos_;
        field = vb::RTrim(std::string_view(text_).substr(start, pos_ - start));
    }
    if (pos_ < text_.size() && text_[pos_] == ',')
        ++pos_;
    else
        SkipLineEnd();
    return true;
}

bool StatFileReader::ReadFields(StatFields& fields, int& count)
{
    count = 0;
    for (auto& f : fields) {
        if (!NextField(f))
            return false;
        ++count;
    }
    return true;
}

std::string StatFileTextDamage(std::string_view text)
{
    return TextByteDamage(text.substr(0, text.find('\x1A')), "stat file");
}

// ---- conversion ----

namespace {

[[noreturn]] void Fail(int recordNumber, int fieldNumber, const std::string& name, const std::string& text,
                       int32_t errorNumber, const std::string& reason)
{
    throw VbError(errorNumber, "Stat record " + std::to_string(recordNumber) + ", field " + std::to_string(fieldNumber) +
                                   " (" + name + ") \"" + text + "\": " + reason);
}

struct FieldReader {
    const StatFields& fields;
    int record;

    const std::string& Text(int n) const { return fields[static_cast<std::size_t>(n - 1)]; }

    double Number(int n, const std::string& name) const
    {
        const std::string& t = Text(n);
        if (vb::Trim(t).empty())
            return 0;
        if (!vb::IsNumeric(t))
            Fail(record, n, name, t, VbError::TypeMismatch, "not a number");
        return vb::Val(vb::Trim(t));
    }
    uint8_t U8(int n, const std::string& name) const
    {
        double v = Number(n, name);
        try {
            return vb::CByte(v);
        } catch (const VbError&) {
            Fail(record, n, name, Text(n), VbError::Overflow, "outside 0 to 255");
        }
    }
    int16_t I16(int n, const std::string& name) const
    {
        double v = Number(n, name);
        try {
            return vb::CInt(v);
        } catch (const VbError&) {
            Fail(record, n, name, Text(n), VbError::Overflow, "outside -32768 to 32767");
        }
    }
    int64_t Currency(int n, const std::string& name) const
    {
        double v = Number(n, name);
        if (!std::isfinite(v) || std::fabs(v) > 922337203685477.0)
            Fail(record, n, name, Text(n), VbError::Overflow, "out of range");
        return vb::CurrencyFromDouble(v);
    }
    double Date(int n, const std::string& name) const
    {
        double d = 0;
        if (!vb::TryParseDate(vb::Trim(Text(n)), d))
            Fail(record, n, name, Text(n), VbError::TypeMismatch, "not a date");
        return d;
    }
    uint8_t Team(int n, const std::string& name) const
    {
        uint8_t code = U8(n, name);
        if (code < 1 || code > LastTeamCode)
            Fail(record, n, name, Text(n), VbError::InvalidProcedureCall, "no team code from 1 to 32");
        return code;
    }
};

// A team's block of a stat record, its first field at `first`.
TeamStats ReadBlock(const FieldReader& r, int first, bool home)
{
    TeamStats s;
    int n = first;
    for (const StatBlockField& f : StatBlock) {
        const std::string name = std::string(home ? "home " : "away ") + f.name;
        if (f.byte)
            s.*f.byte = r.U8(n++, name);
        else
            s.*f.integer = r.I16(n++, name);
    }
    return s;
}

} // namespace

StatRecord ParseStatRecord(const StatFields& fields, int recordNumber)
{
    const FieldReader r{fields, recordNumber};
    StatRecord out;
    GameRecord& g = out.Game;
    g.Year = r.I16(1, "season year");
    if (g.Year < FirstSeason || g.Year > CurrentSeason)
        Fail(recordNumber, 1, "season year", r.Text(1), VbError::InvalidProcedureCall,
             "no season from " + std::to_string(FirstSeason) + " to " + std::to_string(CurrentSeason));
    g.Week = r.U8(2, "week number");
    if (g.Week < 1)
        Fail(recordNumber, 2, "week number", r.Text(2), VbError::InvalidProcedureCall, "weeks are numbered from 1");
    g.GameDate = r.Date(3, "game date");
    g.Surface = r.U8(4, "surface");
    g.AwayTeam = r.Team(5, "away team");
    g.HomeTeam = r.Team(6, "home team");
    g.Line = r.Currency(7, "point spread");
    g.Total = r.Currency(8, "over/under total");
    g.AwayScore = r.U8(9, "away score");
    g.HomeScore = r.U8(10, "home score");
    g.AwayStats = ReadBlock(r, StatAwayBlock, false);
    g.HomeStats = ReadBlock(r, StatHomeBlock, true);
    out.Action = r.I16(StatActionField, "Action");
    return out;
}

} // namespace vexal
