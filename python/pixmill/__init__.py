"""Pixmill32 controls from Python.

    import pixmill
    pb = pixmill.Picbuf()               # pixmill.Picbuf(design=True), pixmill.DataSource()
    pb.FileName = "photo.bmp"           # properties are attributes
    pb.Load()                           # methods are callables
    pb.Init(24, 64, 48, 0xFF8000)       # colours are 0x00BBGGRR
    pb.PutScanLine(0, row)              # optional arguments may be left out

Every member comes from the control's type description and is looked up by
name, in any case, when it is used; help(pixmill.Picbuf.Gamma) shows a member's
signature and description. Enumerations are IntEnum classes of this module,
named as the type description names them less its "enum" prefix
(pixmill.DrawStyle for enumDrawStyle, ...), taken wherever an integer is.

Arrays passed by reference (GetScanLine, GetPalette, ...) are lists: the
control reads the list's elements and, after the call, the list holds what the
control wrote, as a Basic array would.

Events: pb.on("Change", fn) calls fn with the event's arguments; for an event
with by-reference arguments (Callback's Lines) a value fn returns is written
back (a tuple of them for several). pb.on("Change", None) removes the handler.
An exception raised in a handler comes out of the member call that fired it.

A failing member raises pixmill.Error, whose .number is the control error number
(or the SCODE of any other automation failure) and .message its message.

Pixels: pb.to_numpy() gives height x width x 3 uint8 (RGB) for a 24-bit image and
height x width palette indices otherwise, pb.palette() the colour table as
entries x 3 RGB; pb.from_numpy(a) makes a 24-bit image of an h x w x 3 array and
an 8-bit grey one (index i is grey level i) of an h x w array.

Printing: pixmill.Printer("out.pdf") (A4 at 300 dots per inch) or
pixmill.Printer("cups:QUEUE") opens a printer; its .context is the value
PrinterhDC takes, and the document ends with end() or the with block.
"""

import enum
import functools
import inspect

from . import _core
from ._core import Error, Printer, error_message

__all__ = ["Picbuf", "DataSource", "Printer", "Error", "error_message"]


def _wrap(value):
    """A value from the control, with objects it hands out as their classes."""
    if isinstance(value, _core.Object):
        cls = _class_for(value.type_info())
        wrapped = cls.__new__(cls)
        _Control.__init__(wrapped, value)
        return wrapped
    if isinstance(value, list):
        return [_wrap(element) for element in value]
    return value


def _unwrap(value):
    """A value for the control: control objects travel as their core."""
    if isinstance(value, _Control):
        return object.__getattribute__(value, "_core")
    if isinstance(value, (list, tuple)) and any(isinstance(v, _Control) for v in value):
        return [_unwrap(element) for element in value]
    return value


# The enumerations by the names the type descriptions give them.
_enums = {}


def _enumerated(member, value):
    """A value of a member with an enumeration as its named member, when it is one."""
    enumeration = _enums.get(member["enumeration"])
    if enumeration is not None and isinstance(value, int):
        return enumeration._value2member_map_.get(value, value)
    return value


def _arguments(member, args, kwargs):
    """Positional and keyword arguments in the member's parameter order; gaps
    before a given argument go as omitted, the omitted tail is left off."""
    params = member["params"]
    if len(args) > len(params):
        raise TypeError(f"{member['signature']} takes {len(params)} arguments, {len(args)} given")
    values = [_unwrap(value) for value in args]
    values += [_core.missing] * (len(params) - len(values))
    positions = {param["name"].lower(): i for i, param in enumerate(params)}
    for name, value in kwargs.items():
        position = positions.get(name.lower())
        if position is None:
            raise TypeError(f"{member['signature']} has no parameter {name!r}")
        if position < len(args):
            raise TypeError(f"{member['name']}() got {name!r} twice")
        values[position] = _unwrap(value)
    while values and values[-1] is _core.missing:
        values.pop()
    return values


class _Indexed:
    """An indexed property: obj.Name[i] reads and obj.Name[i] = v writes."""

    def __init__(self, core, member):
        self._core, self._member = core, member
        self.__doc__ = _doc(member)

    @staticmethod
    def _index(key):
        return list(key) if isinstance(key, tuple) else [key]

    def __getitem__(self, key):
        value = self._core.get(self._member["name"], self._index(key))
        return _enumerated(self._member, _wrap(value))

    def __setitem__(self, key, value):
        self._core.put(self._member["name"], _unwrap(value), self._index(key))


def _doc(member):
    return f"{member['kind']} {member['signature']}\n\n{member['help']}"


def _property(member):
    name = member["name"]

    def get(self):
        core = object.__getattribute__(self, "_core")
        if member["params"]:
            return _Indexed(core, member)
        return _enumerated(member, _wrap(core.get(name)))

    def put(self, value):
        object.__getattribute__(self, "_core").put(name, _unwrap(value))

    # Both ways always reach the control, so a refused read or write raises
    # the control's own error.
    return property(get, put, doc=_doc(member))


def _method(member):
    name = member["name"]

    def method(self, *args, **kwargs):
        core = object.__getattribute__(self, "_core")
        return _wrap(core.call(name, _arguments(member, args, kwargs)))

    method.__name__ = method.__qualname__ = name
    method.__doc__ = _doc(member)
    parameters = [inspect.Parameter("self", inspect.Parameter.POSITIONAL_OR_KEYWORD)]
    for param in member["params"]:
        default = _core.missing if param["optional"] else inspect.Parameter.empty
        kind = inspect.Parameter.POSITIONAL_OR_KEYWORD
        parameters.append(inspect.Parameter(param["name"], kind, default=default))
    method.__signature__ = inspect.Signature(parameters)
    return method


class _Control:
    """What every control class shares; its members come from its type description."""

    __slots__ = ("_core",)

    def __init__(self, core):
        object.__setattr__(self, "_core", core)

    # Reached only when a name is not one of the class's attributes: a member
    # written in another case, or no member at all.
    def __getattr__(self, name):
        member = object.__getattribute__(self, "_core").member(name)
        if member is None or member["kind"] == "event":
            raise AttributeError(f"{type(self).__name__} has no member {name!r}")
        return getattr(self, member["name"])

    def __setattr__(self, name, value):
        member = object.__getattribute__(self, "_core").member(name)
        if member is None or member["kind"] != "property":
            raise AttributeError(f"{type(self).__name__} has no property {name!r}")
        getattr(type(self), member["name"]).__set__(self, value)

    def on(self, event, handler):
        """Calls handler with the event's arguments each time it fires; None removes it."""
        if handler is not None:
            if not callable(handler):
                raise TypeError("an event handler is a callable or None")
            handler = functools.partial(_deliver, handler)
        object.__getattribute__(self, "_core").on(event, handler)

    def to_numpy(self):
        """The pixels: height x width x 3 RGB (24-bit) or height x width indices, uint8."""
        return object.__getattribute__(self, "_core").to_numpy()

    def palette(self):
        """The colour table as entries x 3 RGB, uint8."""
        return object.__getattribute__(self, "_core").palette()

    def from_numpy(self, pixels):
        """A new image: h x w x 3 uint8 gives 24-bit, h x w uint8 8-bit grey."""
        object.__getattribute__(self, "_core").from_numpy(pixels)

    def __repr__(self):
        return f"<pixmill.{type(self).__name__}>"


def _deliver(handler, *args):
    return handler(*(_wrap(value) for value in args))


def _make_class(info, progid=None):
    namespace = {
        "__slots__": (),
        "__doc__": f"The {info['name']} control's members.",
        "__module__": __name__,
    }
    for member in info["members"]:
        if member["kind"] == "property":
            namespace[member["name"]] = _property(member)
        elif member["kind"] == "method":
            namespace[member["name"]] = _method(member)
    if progid is not None:

        def __init__(self, design=False):
            _Control.__init__(self, _core.Object(progid, design))

        namespace["__init__"] = __init__
    return type(info["name"], (_Control,), namespace)


# One class for each kind of object, made when the first one arrives.
_classes = {}


def _class_for(info):
    if info["name"] not in _classes:
        _classes[info["name"]] = _make_class(info)
    return _classes[info["name"]]


def _control_class(progid):
    info = _core.Object(progid).type_info()
    for described, values in info["enums"].items():
        if described in _enums:
            continue
        # enumDrawStyle in the type description is DrawStyle here.
        name = described[len("enum"):] if described.startswith("enum") else described
        _enums[described] = globals()[name] = enum.IntEnum(name, values, module=__name__)
        __all__.append(name)
    _classes[info["name"]] = _make_class(info, progid)
    return _classes[info["name"]]


Picbuf = _control_class("Pixmill32.Picbuf.1")
DataSource = _control_class("Pixmill32.DataSource.1")
