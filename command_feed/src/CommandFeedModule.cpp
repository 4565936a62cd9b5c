// The Python face of the command feed: module _CommandFeed with send,
// connect and disconnect, and the publisher's state, stop, neutral values
// and dead-man. Only converts arguments and results.
#define PY_SSIZE_T_CLEAN
#include <Python.h>

#include <climits>
#include <stdexcept>

#include "commandFeed.h"

namespace {

const char* const kArgument1Error = "in method 'send', argument 1 of type 'char *'";
const char* const kArgument2Error = "in method 'send', argument 2 of type 'unsigned int'";

// The length argument; false with the Python error set when it is no int
// or does not fit an unsigned int.
bool toLength(PyObject* object, unsigned* length) {
  if (!PyLong_Check(object)) {
    PyErr_SetString(PyExc_TypeError, kArgument2Error);
    return false;
  }
  unsigned long value = PyLong_AsUnsignedLong(object);
  if (PyErr_Occurred() || value > UINT_MAX) {
    PyErr_Clear();
    PyErr_SetString(PyExc_OverflowError, kArgument2Error);
    return false;
  }
  *length = static_cast<unsigned>(value);
  return true;
}

// send(data, length): data is a str (its UTF-8 bytes are the values; a
// length beyond them fills with 0); None and every other type are refused.
PyObject* feedSend(PyObject*, PyObject* args) {
  PyObject* data = nullptr;
  PyObject* lengthObject = nullptr;
  if (!PyArg_ParseTuple(args, "OO:send", &data, &lengthObject)) {
    return nullptr;
  }
  if (!PyUnicode_Check(data)) {
    PyErr_SetString(PyExc_TypeError, kArgument1Error);
    return nullptr;
  }
  Py_ssize_t size = 0;
  const char* text = PyUnicode_AsUTF8AndSize(data, &size);
  if (text == nullptr) {
    return nullptr;
  }
  unsigned length = 0;
  if (!toLength(lengthObject, &length)) {
    return nullptr;
  }
  try {
    return PyLong_FromLong(CommandFeed::send(text, static_cast<size_t>(size), length));
  } catch (const std::invalid_argument& e) {
    PyErr_Format(PyExc_ValueError, "send: %s", e.what());
    return nullptr;
  }
}

// set_deadman(ms): whole milliseconds 0..3600000 (0 off); a float (seconds
// given by mistake) is refused like any other non-int.
PyObject* feedSetDeadman(PyObject*, PyObject* args) {
  PyObject* msObject = nullptr;
  if (!PyArg_ParseTuple(args, "O:set_deadman", &msObject)) {
    return nullptr;
  }
  if (!PyLong_Check(msObject) || PyBool_Check(msObject)) {
    PyErr_Format(PyExc_TypeError, "set_deadman: ms must be whole milliseconds (int), not %s",
                 Py_TYPE(msObject)->tp_name);
    return nullptr;
  }
  int overflow = 0;
  const long long ms = PyLong_AsLongLongAndOverflow(msObject, &overflow);
  try {
    // Beyond long long is beyond the range too.
    CommandFeed::setDeadMan(overflow != 0 ? LLONG_MAX : ms);
  } catch (const std::invalid_argument& e) {
    PyErr_Format(PyExc_ValueError, "set_deadman: %R ms is %s", msObject, e.what());
    return nullptr;
  }
  Py_RETURN_NONE;
}

PyObject* feedConnect(PyObject*, PyObject*) { return PyLong_FromLong(CommandFeed::connect()); }

PyObject* feedDisconnect(PyObject*, PyObject*) {
  return PyLong_FromLong(CommandFeed::disconnect());
}

const char* phaseName(CommandFeed::Phase phase) {
  switch (phase) {
    case CommandFeed::Phase::Idle:
      return "idle";
    case CommandFeed::Phase::SigningIn:
      return "signing in";
    case CommandFeed::Phase::Publishing:
      return "publishing";
    case CommandFeed::Phase::Ended:
      break;
  }
  return "ended";
}

// status() -> (phase, failure): phase "idle", "signing in", "publishing" or
// "ended"; failure the text of an early end, else "".
PyObject* feedStatus(PyObject*, PyObject*) {
  return Py_BuildValue("(ss)", phaseName(CommandFeed::publisherPhase()),
                       CommandFeed::publisherFailure().c_str());
}

// stop([timeout]) -> whether the publisher has ended within timeout seconds
// (default 3), its last record the neutral values. The wait lets other
// Python threads run.
PyObject* feedStop(PyObject*, PyObject* args) {
  double timeout = 3.0;
  if (!PyArg_ParseTuple(args, "|d:stop", &timeout)) {
    return nullptr;
  }
  const unsigned timeoutMs = timeout <= 0 ? 0u : timeout >= 60 ? 60000u : static_cast<unsigned>(timeout * 1000);
  bool stopped = false;
  Py_BEGIN_ALLOW_THREADS
  stopped = CommandFeed::stopPublisher(timeoutMs);
  Py_END_ALLOW_THREADS
  return PyBool_FromLong(stopped);
}

// neutral([text]) -> the 15 neutral values as a list; a text ("8,8,3")
// replaces them first; ValueError with the reason for a bad one.
PyObject* feedNeutral(PyObject*, PyObject* args) {
  const char* text = nullptr;
  if (!PyArg_ParseTuple(args, "|s:neutral", &text)) {
    return nullptr;
  }
  if (text != nullptr) {
    try {
      CommandFeed::setNeutralValues(parseNeutralValues(text));
    } catch (const std::invalid_argument& e) {
      PyErr_SetString(PyExc_ValueError, e.what());
      return nullptr;
    }
  }
  const ChannelValues values = CommandFeed::neutralValues();
  PyObject* list = PyList_New(static_cast<Py_ssize_t>(values.size()));
  for (size_t i = 0; list != nullptr && i < values.size(); ++i) {
    PyList_SET_ITEM(list, static_cast<Py_ssize_t>(i), PyLong_FromLong(values[i]));
  }
  return list;
}

PyMethodDef methods[] = {
    {"send", feedSend, METH_VARARGS, "send(data, length) -> 0, or -1 for a length above 16"},
    {"connect", feedConnect, METH_NOARGS, "connect() -> 0 when the publisher was started, else -1"},
    {"disconnect", feedDisconnect, METH_NOARGS, "disconnect() -> 0; unlocks locked memory"},
    {"status", feedStatus, METH_NOARGS, "status() -> (phase, failure text or '')"},
    {"stop", feedStop, METH_VARARGS, "stop([timeout]) -> True once the publisher has ended on the neutral values"},
    {"neutral", feedNeutral, METH_VARARGS, "neutral([text]) -> the neutral values; text replaces them"},
    {"set_deadman", feedSetDeadman, METH_VARARGS,
     "set_deadman(ms): neutral values in force when send() was not called for ms (0: off)"},
    {nullptr, nullptr, 0, nullptr}};

PyModuleDef moduleDef = {PyModuleDef_HEAD_INIT, "_CommandFeed",
                         "Publishes the 15 remote-control channel values (bramixData).", -1,
                         methods, nullptr, nullptr, nullptr, nullptr};

// A publisher still running when the interpreter ends would leave its
// shared-memory name behind; stop it first, as Ctrl-C would.
void stopAtExit() { CommandFeed::stopPublisher(3000); }

}  // namespace

PyMODINIT_FUNC PyInit__CommandFeed() {
  PyObject* module = PyModule_Create(&moduleDef);
  if (module != nullptr) {
    Py_AtExit(stopAtExit);
  }
  return module;
}
