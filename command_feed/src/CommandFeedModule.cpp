// The Python face of the command feed: module _CommandFeed with send,
// connect and disconnect. Only converts arguments and results.
#define PY_SSIZE_T_CLEAN
#include <Python.h>

#include <climits>

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
  return PyLong_FromLong(CommandFeed::send(text, static_cast<size_t>(size), length));
}

PyObject* feedConnect(PyObject*, PyObject*) { return PyLong_FromLong(CommandFeed::connect()); }

PyObject* feedDisconnect(PyObject*, PyObject*) {
  return PyLong_FromLong(CommandFeed::disconnect());
}

PyMethodDef methods[] = {
    {"send", feedSend, METH_VARARGS, "send(data, length) -> 0, or -1 for a length above 16"},
    {"connect", feedConnect, METH_NOARGS, "connect() -> 0 when the publisher was started, else -1"},
    {"disconnect", feedDisconnect, METH_NOARGS, "disconnect() -> 0; unlocks locked memory"},
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
