#include "VideoFolder.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "StartedProcess.h"

VideoFolder::VideoFolder(bool withFeed, bool withRelay) {
  char name[] = "/tmp/vok_video_XXXXXX";
  if (mkdtemp(name) == nullptr) {
    throw std::runtime_error("VideoFolder: mkdtemp failed");
  }
  folder = name;
  if (withFeed) {
    std::filesystem::create_symlink(FRAME_FEED_PATH, folder + "/libFrameFeed.so");
  }
  if (withRelay) {
    std::filesystem::create_symlink(FRAME_RELAY_PATH, folder + "/libframe_relay.so");
  }
}

VideoFolder::~VideoFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
}

std::string VideoFolder::write(const std::string& name, const std::string& content) const {
  const std::string path = folder + "/" + name;
  std::ofstream(path) << content;
  return path;
}

bool processHasMapped(int pid, const std::string& name) {
  const std::string maps = vok_itest::readFile("/proc/" + std::to_string(pid) + "/maps");
  return maps.find("/" + name + "\n") != std::string::npos;
}
