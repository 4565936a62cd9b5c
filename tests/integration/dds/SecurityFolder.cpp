#include "SecurityFolder.h"

#include <stdlib.h>

#include <filesystem>

namespace vok_itest {

SecurityFolder::SecurityFolder() {
  char name[] = "/tmp/vok_dds_security.XXXXXX";
  if (::mkdtemp(name) == nullptr) {
    return;
  }
  path = name;
  const std::string script =
      "set -e; cd '" + path + "'; "
      "openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj '/CN=VOK DDS CA' -keyout ca_key.pem -out ca.pem; "
      "for who in board station; do mkdir $who; cp ca.pem $who/; "
      "openssl req -newkey rsa:2048 -nodes -subj /CN=vok-$who -keyout $who/key.pem -out $who.csr; "
      "openssl x509 -req -days 2 -in $who.csr -CA ca.pem -CAkey ca_key.pem -CAcreateserial -out $who/identity.pem; "
      "for rules in governance permissions; do openssl smime -sign -text -in " DDS_CONFIG_DIR "/$rules.xml "
      "-signer ca.pem -inkey ca_key.pem -out $who/$rules.p7s; done; done";
  StartedProcess openssl({"/bin/sh", "-c", script});
  made = openssl.waitForExit(std::chrono::seconds(30)) == std::optional<int>(0);
  log = everything(openssl);
}

SecurityFolder::~SecurityFolder() {
  if (!path.empty()) {
    std::filesystem::remove_all(path);
  }
}

Argv SecurityFolder::as(const std::string& who) const {
  return {"/usr/bin/env", "CYCLONEDDS_URI=file://" DDS_CONFIG_DIR "/security.xml", "VOK_DDS_INTERFACE=lo",
          "VOK_DDS_PEER=127.0.0.1", "VOK_DDS_SECURITY=" + path + "/" + who};
}

}  // namespace vok_itest
