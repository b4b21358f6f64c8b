#include "uddf_xml.h"

#include <QByteArray>
#include <QString>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>
#include <cmath>
#include <unordered_map>
#include <vector>

#include "core/app_info.h"
#include "core/text/number_format.h"
#include "core/text/text_file.h"

namespace marelos {
namespace {

constexpr auto kNamespace = "http://www.streit.cc/uddf/3.2/";
// No log nests this deep; a file that does is built to exhaust the reader.
constexpr std::size_t kMaxNesting = 64;

std::string Utf8(const QString& text) {
    return text.toUtf8().toStdString();
}

std::optional<double> Number(const QString& text) {
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value)) return std::nullopt;
    return value;
}

// Reads the log element by element, keeping the names of the open elements.
class UddfReader {
  public:
    explicit UddfReader(std::string_view bytes)
        : xml_(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()))) {}

    std::optional<UddfLog> Read() {
        while (!xml_.atEnd()) {
            const QXmlStreamReader::TokenType token = xml_.readNext();
            if (token == QXmlStreamReader::StartElement) {
                if (open_.empty() && xml_.name() != u"uddf") return std::nullopt;
                if (open_.size() >= kMaxNesting) return std::nullopt;
                StartElement();
            } else if (token == QXmlStreamReader::EndElement) {
                EndElement();
            }
        }
        if (xml_.hasError() || !sawRoot_) return std::nullopt;
        ResolveLinks();
        return std::move(log_);
    }

  private:
    bool Inside(std::u16string_view name) const {
        return !open_.empty() && open_.back() == QStringView(name);
    }
    QString Text() { return xml_.readElementText(QXmlStreamReader::IncludeChildElements); }
    std::string Ref() const { return Utf8(xml_.attributes().value("ref").toString()); }
    std::string Id() const { return Utf8(xml_.attributes().value("id").toString()); }

    void StartElement() {
        sawRoot_ = true;
        const QString name = xml_.name().toString();
        if (name == u"mix" && Inside(u"gasdefinitions")) {
            log_.mixes.push_back({Id(), "", 0.21, 0.79, 0, 0});
            mix_ = &log_.mixes.back();
        } else if (mix_ && Inside(u"mix")) {
            return ReadMixValue(name);
        } else if (name == u"site" && Inside(u"divesite")) {
            siteId_ = Id();
        } else if (name == u"name" && Inside(u"site") && !siteId_.empty()) {
            siteNames_[siteId_] = Utf8(Text().simplified());
            return;
        } else if (name == u"buddy" && Inside(u"diver")) {
            buddyId_ = Id();
        } else if (!buddyId_.empty() && Inside(u"personal") &&
                   (name == u"firstname" || name == u"lastname")) {
            std::string& names = buddyNames_[buddyId_];
            const std::string part = Utf8(Text().simplified());
            names += (names.empty() || part.empty() ? "" : " ") + part;
            return;
        } else if (name == u"dive" && Inside(u"repetitiongroup")) {
            log_.dives.push_back({});
            links_.emplace_back();
            dive_ = &log_.dives.back();
            dive_->id = Id();
        } else if (dive_) {
            if (ReadDiveValue(name)) return;
        }
        open_.push_back(name);
    }

    void EndElement() {
        if (open_.empty()) return;
        const QString& name = open_.back();
        if (name == u"mix") mix_ = nullptr;
        if (name == u"site") siteId_.clear();
        if (name == u"buddy") buddyId_.clear();
        if (name == u"dive") dive_ = nullptr;
        if (name == u"waypoint") waypoint_ = nullptr;
        open_.pop_back();
    }

    void ReadMixValue(const QString& name) {
        if (name == u"name") {
            mix_->name = Utf8(Text().simplified());
            return;
        }
        const std::optional<double> value = Number(Text());
        if (!value) return;
        if (name == u"o2") mix_->o2 = *value;
        if (name == u"n2") mix_->n2 = *value;
        if (name == u"he") mix_->he = *value;
        if (name == u"ar") mix_->ar = *value;
    }

    // True when the element was read to its end.
    bool ReadDiveValue(const QString& name) {
        if (name == u"waypoint" && Inside(u"samples")) {
            dive_->waypoints.push_back({-1, std::nan(""), "", std::nullopt});
            waypoint_ = &dive_->waypoints.back();
            return false;
        }
        if (waypoint_ && Inside(u"waypoint")) {
            if (name == u"switchmix") {
                waypoint_->switchMix = Ref();
                return false;
            }
            if (name == u"depth")
                waypoint_->depth = Number(Text()).value_or(std::nan(""));
            else if (name == u"divetime")
                waypoint_->seconds = Number(Text()).value_or(std::nan(""));
            else if (name == u"temperature")
                waypoint_->temperature = Number(Text());
            else
                return false;
            return true;
        }
        if (name == u"link") {
            links_.back().push_back(Ref());
            return false;
        }
        if (Inside(u"informationbeforedive")) {
            if (name == u"datetime")
                dive_->dateTime = Utf8(Text().trimmed());
            else if (name == u"divenumber")
                dive_->number = Utf8(Text().trimmed());
            else if (name == u"airtemperature")
                dive_->airTemperature = Number(Text());
            else
                return false;
            return true;
        }
        if (Inside(u"informationafterdive") && name == u"lowesttemperature") {
            dive_->lowestTemperature = Number(Text());
            return true;
        }
        if (Inside(u"notes") && name == u"para") {
            const std::string para = Utf8(Text().simplified());
            dive_->notes += (dive_->notes.empty() || para.empty() ? "" : " ") + para;
            return true;
        }
        return false;
    }

    void ResolveLinks() {
        for (std::size_t i = 0; i < log_.dives.size(); ++i) {
            UddfDive& dive = log_.dives[i];
            for (const std::string& ref : links_[i]) {
                if (const auto site = siteNames_.find(ref); site != siteNames_.end()) {
                    if (dive.site.empty()) dive.site = site->second;
                } else if (const auto buddy = buddyNames_.find(ref); buddy != buddyNames_.end()) {
                    dive.buddy += (dive.buddy.empty() ? "" : ", ") + buddy->second;
                }
            }
        }
    }

    QXmlStreamReader xml_;
    std::vector<QString> open_;
    bool sawRoot_ = false;
    UddfLog log_;
    std::vector<std::vector<std::string>> links_;  // per dive
    std::unordered_map<std::string, std::string> siteNames_;
    std::unordered_map<std::string, std::string> buddyNames_;
    std::string siteId_;
    std::string buddyId_;
    // Pointers into the vectors of log_: only the last element is ever pointed at, and a new
    // one is added only after the pointer to the old one is no longer used.
    UddfMix* mix_ = nullptr;
    UddfDive* dive_ = nullptr;
    UddfWaypoint* waypoint_ = nullptr;
};

QString Decimal(double value) {
    return QString::fromStdString(FormatGeneral(value));
}

void WriteText(QXmlStreamWriter& xml, const char* name, const std::string& text) {
    xml.writeTextElement(kNamespace, name, QString::fromStdString(text));
}

void WriteNumber(QXmlStreamWriter& xml, const char* name, double value) {
    xml.writeTextElement(kNamespace, name, Decimal(value));
}

void WriteLink(QXmlStreamWriter& xml, const std::string& ref) {
    xml.writeStartElement(kNamespace, "link");
    xml.writeAttribute("ref", QString::fromStdString(ref));
    xml.writeEndElement();
}

std::string SiteId(std::size_t dive) {
    return "site" + std::to_string(dive + 1);
}
std::string BuddyId(std::size_t dive) {
    return "buddy" + std::to_string(dive + 1);
}

void WriteDiverAndSites(QXmlStreamWriter& xml, const UddfLog& log) {
    bool anyBuddy = false;
    bool anySite = false;
    for (const UddfDive& dive : log.dives) {
        anyBuddy = anyBuddy || !dive.buddy.empty();
        anySite = anySite || !dive.site.empty();
    }
    if (anyBuddy) {
        xml.writeStartElement(kNamespace, "diver");
        xml.writeStartElement(kNamespace, "owner");
        xml.writeAttribute("id", "owner");
        xml.writeEndElement();
        for (std::size_t i = 0; i < log.dives.size(); ++i) {
            const std::string& buddy = log.dives[i].buddy;
            if (buddy.empty()) continue;
            xml.writeStartElement(kNamespace, "buddy");
            xml.writeAttribute("id", QString::fromStdString(BuddyId(i)));
            xml.writeStartElement(kNamespace, "personal");
            const std::size_t blank = buddy.rfind(' ');
            WriteText(xml, "firstname", buddy.substr(0, blank));
            if (blank != std::string::npos) WriteText(xml, "lastname", buddy.substr(blank + 1));
            xml.writeEndElement();
            xml.writeEndElement();
        }
        xml.writeEndElement();
    }
    if (anySite) {
        xml.writeStartElement(kNamespace, "divesite");
        for (std::size_t i = 0; i < log.dives.size(); ++i) {
            if (log.dives[i].site.empty()) continue;
            xml.writeStartElement(kNamespace, "site");
            xml.writeAttribute("id", QString::fromStdString(SiteId(i)));
            WriteText(xml, "name", log.dives[i].site);
            xml.writeEndElement();
        }
        xml.writeEndElement();
    }
}

void WriteDive(QXmlStreamWriter& xml, const UddfDive& dive, std::size_t index) {
    xml.writeStartElement(kNamespace, "dive");
    xml.writeAttribute("id", QString::fromStdString(dive.id));
    xml.writeStartElement(kNamespace, "informationbeforedive");
    if (!dive.site.empty()) WriteLink(xml, SiteId(index));
    if (!dive.buddy.empty()) WriteLink(xml, BuddyId(index));
    if (!dive.number.empty()) WriteText(xml, "divenumber", dive.number);
    if (!dive.dateTime.empty()) WriteText(xml, "datetime", dive.dateTime);
    if (dive.airTemperature) WriteNumber(xml, "airtemperature", *dive.airTemperature);
    xml.writeEndElement();

    xml.writeStartElement(kNamespace, "samples");
    double deepest = 0;
    for (const UddfWaypoint& point : dive.waypoints) {
        xml.writeStartElement(kNamespace, "waypoint");
        WriteNumber(xml, "depth", point.depth);
        WriteNumber(xml, "divetime", point.seconds);
        if (!point.switchMix.empty()) {
            xml.writeStartElement(kNamespace, "switchmix");
            xml.writeAttribute("ref", QString::fromStdString(point.switchMix));
            xml.writeEndElement();
        }
        if (point.temperature) WriteNumber(xml, "temperature", *point.temperature);
        xml.writeEndElement();
        deepest = std::max(deepest, point.depth);
    }
    xml.writeEndElement();

    xml.writeStartElement(kNamespace, "informationafterdive");
    WriteNumber(xml, "greatestdepth", deepest);
    WriteNumber(xml, "diveduration", dive.waypoints.empty() ? 0 : dive.waypoints.back().seconds);
    if (dive.lowestTemperature) WriteNumber(xml, "lowesttemperature", *dive.lowestTemperature);
    if (!dive.notes.empty()) {
        xml.writeStartElement(kNamespace, "notes");
        WriteText(xml, "para", dive.notes);
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndElement();
}

}  // namespace

Result<UddfLog> ParseUddf(std::string_view bytes, const std::string& subject) {
    std::optional<UddfLog> log = UddfReader(bytes).Read();
    if (!log) return Failure{FailureKind::DataFormat, subject};
    return std::move(*log);
}

Result<UddfLog> ReadUddfFile(const std::string& path) {
    const Result<std::string> bytes = ReadFileBytes(path);
    if (!bytes) return bytes.failure();
    return ParseUddf(bytes.value(), path);
}

std::string UddfDocument(const UddfLog& log) {
    QByteArray out;
    QXmlStreamWriter xml(&out);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(1);
    xml.writeStartDocument();
    xml.writeDefaultNamespace(kNamespace);
    xml.writeStartElement(kNamespace, "uddf");
    xml.writeAttribute("version", "3.2.0");

    xml.writeStartElement(kNamespace, "generator");
    WriteText(xml, "name", "Marelos");
    WriteText(xml, "type", "logbook");
    WriteText(xml, "version",
              std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor) + "." +
                  std::to_string(kVersionRevision));
    xml.writeEndElement();

    WriteDiverAndSites(xml, log);

    xml.writeStartElement(kNamespace, "gasdefinitions");
    for (const UddfMix& mix : log.mixes) {
        xml.writeStartElement(kNamespace, "mix");
        xml.writeAttribute("id", QString::fromStdString(mix.id));
        WriteText(xml, "name", mix.name);
        WriteNumber(xml, "o2", mix.o2);
        WriteNumber(xml, "n2", mix.n2);
        WriteNumber(xml, "he", mix.he);
        WriteNumber(xml, "ar", mix.ar);
        xml.writeEndElement();
    }
    xml.writeEndElement();

    xml.writeStartElement(kNamespace, "profiledata");
    xml.writeStartElement(kNamespace, "repetitiongroup");
    xml.writeAttribute("id", "group1");
    for (std::size_t i = 0; i < log.dives.size(); ++i)
        WriteDive(xml, log.dives[i], i);
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndDocument();
    return out.toStdString();
}

std::optional<Failure> WriteUddfFile(const std::string& path, const UddfLog& log) {
    return WriteFileBytes(path, UddfDocument(log));
}

}  // namespace marelos
