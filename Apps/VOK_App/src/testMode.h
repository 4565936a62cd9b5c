#pragma once

class ConfigurationData;

namespace broker {

// The broker's self-test (option --test/-t non-zero). The broker calls these
// in its run: launchTestProvider (own pid) and, with a count of 2 or more,
// launchTestConsumer before the accept phase; testReceiveHook after each
// successful reply (in every mode); receiveTestConsumer once after the reply
// pass; closeTestProvider and, with a count of 2 or more, closeTestConsumer
// at shutdown.


// Loads the test provider library and starts it with the broker's pid.
void launchTestProvider(unsigned pid);
// Loads the test consumer library and starts it.
void launchTestConsumer();
// Runs the loaded test consumer's receive entry; nothing when none is loaded.
void receiveTestConsumer();
// Called after a reply was sent to app: runs hook unless the app is the test consumer.
void testReceiveHook(const ConfigurationData& app, void (*hook)());
// Unloads the test provider library, if loaded.
void closeTestProvider();
// Unloads the test consumer library, if loaded.
void closeTestConsumer();

}  // namespace broker
