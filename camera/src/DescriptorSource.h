#pragma once

#include <memory>
#include <string>

#include "FrameSource.h"

namespace camera {

// Standard input, a file or a FIFO: one stream that ends once.
class DescriptorSource : public FrameSource {
 public:
  // Reads standard input, which stays open.
  explicit DescriptorSource(std::shared_ptr<ISourceFunctions> calls);
  // Opens path for reading; a FIFO waits for its writer without blocking the
  // camera. Throws VOKException with the system's text when it cannot be opened.
  DescriptorSource(std::shared_ptr<ISourceFunctions> calls, const std::string& path);
  ~DescriptorSource() override;
  DescriptorSource(const DescriptorSource&) = delete;
  DescriptorSource& operator=(const DescriptorSource&) = delete;

  Result read(std::vector<uint8_t>& buffer, int timeoutMs) override;
  bool restarts() const override { return false; }
  bool isStored() const override { return stored; }

 private:
  std::shared_ptr<ISourceFunctions> calls;
  int fd;
  bool owned;
  bool stored = false;
};

}  // namespace camera
