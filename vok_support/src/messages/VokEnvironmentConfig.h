#pragma once

#include <memory>
#include <string>

namespace VOK {

// Settings the broker hands to apps: format version and segment lifetime.
class VokEnvironmentConfig {
 public:
  // segmentLifeTime in milliseconds.
  VokEnvironmentConfig(const std::string& version, unsigned long long segmentLifeTime);

  // The version text (a copy).
  std::string getVersion() const;
  // Segment lifetime in milliseconds.
  unsigned long long getSegmentLifeTime() const;

  // The fixed 83-byte request text; not JSON, recognised by "ConfigDataRequest".
  static std::string GetRequestVokEnvironmentConfig();

  // Reads the broker's environment reply. Throws std::invalid_argument when the text is
  // not JSON. Valid JSON without a string "Version" or an unsigned integer
  // "ConfigData"/"SegmentLifetime" gives the defaults below, with one error line logged.
  static std::shared_ptr<VokEnvironmentConfig> CreateFromString(const std::string& text);

  // What an app uses when the broker sends nothing usable: "0.1", 10 ms.
  static std::shared_ptr<VokEnvironmentConfig> CreateDefault();

 private:
  std::string version;
  unsigned long long segmentLifeTime;
};

}  // namespace VOK
