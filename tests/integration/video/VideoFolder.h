#pragma once

#include <string>

// A private folder holding links to the video libraries, to run VOK_App's
// test mode in; removed with everything in it at destruction.
class VideoFolder {
 public:
  // withFeed / withRelay: whether libFrameFeed.so / libframe_relay.so are linked in.
  VideoFolder(bool withFeed, bool withRelay);
  ~VideoFolder();
  VideoFolder(const VideoFolder&) = delete;
  VideoFolder& operator=(const VideoFolder&) = delete;

  // The folder's path.
  const std::string& path() const { return folder; }
  // Writes a file into the folder; returns its path.
  std::string write(const std::string& name, const std::string& content) const;

 private:
  std::string folder;
};

// Whether /proc/<pid>/maps lists a file whose path ends with name.
bool processHasMapped(int pid, const std::string& name);
