#include "cycloneConfiguration.h"

#include <fstream>
#include <regex>
#include <sstream>

namespace dds_bridge {

const char kLoopbackConfiguration[] =
    "<CycloneDDS><Domain Id=\"any\"><General><Interfaces><NetworkInterface name=\"lo\"/></Interfaces>"
    "<AllowMulticast>false</AllowMulticast></General><Discovery><ParticipantIndex>auto</ParticipantIndex>"
    "<MaxAutoParticipantIndex>20</MaxAutoParticipantIndex><Peers><Peer Address=\"127.0.0.1\"/></Peers>"
    "</Discovery></Domain></CycloneDDS>";

namespace {

std::string fileText(const std::string& path) {
  std::ifstream file(path);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

// The configuration's own text followed by that of every file it names.
std::string wholeText(const std::string& configuration) {
  std::string text = configuration;
  const std::regex fileUri("file://([^,\\s]+)");
  for (std::sregex_iterator uri(configuration.begin(), configuration.end(), fileUri), end; uri != end; ++uri) {
    text += fileText((*uri)[1].str());
  }
  return text;
}

}  // namespace

bool configurationHasSecurity(const std::string& configuration) {
  const std::string uncommented = std::regex_replace(wholeText(configuration), std::regex("<!--[\\s\\S]*?-->"), "");
  // Cyclone's element, and the name earlier versions gave it.
  return std::regex_search(uncommented, std::regex("<(DDS)?Security[\\s>]"));
}

}  // namespace dds_bridge
