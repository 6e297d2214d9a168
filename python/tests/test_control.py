"""The control through the module: members by name, arrays, enums, events, errors."""

import enum
import gc
import inspect
import weakref

import pytest

import pixmill
from conftest import error_of

BLUE, ORANGE = 0xFF0000, 0x0080FF  # 0x00BBGGRR


@pytest.mark.parametrize(
    "name, value, read_back",
    [
        ("FileName", "photo.bmp", "photo.bmp"),
        ("filename", "any case.gif", "any case.gif"),
        ("DrawWidth", 7, 7),
        ("FillTransparent", True, True),
        ("FillColor", 0xFF102030, 0xFF102030 - (1 << 32)),  # the upper half wraps as a long
        ("AssignMode", pixmill.AssignMode.AMResize, pixmill.AssignMode.AMResize),
        ("DrawStyle", 4, pixmill.DrawStyle.DSDash_Dot_Dot),
    ],
)
def test_properties_are_written_and_read_as_attributes(picbuf, name, value, read_back):
    setattr(picbuf, name, value)
    got = getattr(picbuf, name)
    assert got == read_back and type(got) is type(read_back)


def test_methods_take_optional_and_keyword_arguments(picbuf):
    picbuf.Init(24, 4, 3, ORANGE)
    assert (picbuf.Xresolution, picbuf.Yresolution, picbuf.ColorDepth) == (4, 3, 24)
    picbuf.PutScanLine(1, [BLUE] * 4)  # nUpdate left out
    picbuf.putscanline(nLine=2, pLine=[0] * 4, nUpdate=0)
    assert [picbuf.GetColor(0, y) for y in range(3)] == [ORANGE, BLUE, 0]
    with pytest.raises(TypeError):
        picbuf.GetColor(0, 0, 0)
    with pytest.raises(TypeError):
        picbuf.GetColor(0, yPos=0)


def test_by_reference_arrays_come_back_in_the_callers_list(picbuf):
    picbuf.Init(24, 8, 8, ORANGE)
    row = [0] * 8
    assert picbuf.GetScanLine(1, row) is None
    assert row == [ORANGE] * 8
    picbuf.ReduceColors(2, 1, 0, 0)
    table = [-1] * 3
    picbuf.GetPalette(table)
    assert table[:2] == [picbuf.GetPalColor(0), picbuf.GetPalColor(1)] and table[2] == -1
    for array, number in [([], 20301), ([0] * 7, 20355), (["a"] * 8, 0x80020005)]:
        assert error_of(lambda: picbuf.GetScanLine(0, array)).number == number


def test_members_describe_themselves():
    assert {"FileName", "Load", "Gamma", "Init", "on", "to_numpy"} <= set(dir(pixmill.Picbuf()))
    doc = pixmill.Picbuf.Gamma.__doc__
    assert doc.startswith("method Gamma(nMagnitude As Double)") and "5 changes nothing" in doc
    assert list(inspect.signature(pixmill.Picbuf.PutScanLine).parameters) == [
        "self", "nLine", "pLine", "nUpdate"]
    assert "0x00BBGGRR" in pixmill.Picbuf.FillColor.__doc__


def test_enumerations_are_int_enums_from_the_type_description(picbuf):
    assert issubclass(pixmill.DrawStyle, enum.IntEnum)
    assert pixmill.DrawStyle.DSDash == 1 and pixmill.ImageFormat.IFPng == 10
    picbuf.DrawArrows = pixmill.DrawArrows.DABoth
    assert picbuf.DrawArrows is pixmill.DrawArrows.DABoth


def test_events_reach_handlers_until_removed(picbuf):
    seen = []
    picbuf.on("Change", lambda: seen.append("Change"))
    picbuf.Init(24, 2, 2, 0)
    assert seen == ["Change"]
    picbuf.on("change", None)
    picbuf.Init(24, 2, 2, 0)
    assert seen == ["Change"]
    with pytest.raises(ValueError):
        picbuf.on("NoSuchEvent", print)
    with pytest.raises(TypeError):
        picbuf.on("Change", 42)


def test_a_handler_writes_by_reference_arguments_back(picbuf, tmp_path):
    source = pixmill.Picbuf()
    source.Init(24, 8, 40, ORANGE)
    source.FileName = str(tmp_path / "tall.png")
    source.Store()
    picbuf.Init(24, 2, 2, 0)
    picbuf.CallbackLines = 10
    picbuf.FileName = source.FileName
    for returned, lines, height in [(None, [10, 20, 30, 40], 40), (0, [10], 2)]:
        seen = []
        picbuf.Init(24, 2, 2, 0)
        picbuf.on("Callback", lambda count: seen.append(count) or returned)
        picbuf.LoadCallback(picbuf)
        assert (seen, picbuf.Yresolution) == (lines, height)  # Lines = 0 cancels the load


def test_a_handlers_exception_comes_out_of_the_call(picbuf):
    def fail():
        raise KeyError("from the handler")

    picbuf.on("Change", fail)
    with pytest.raises(KeyError):
        picbuf.Init(24, 2, 2, 0)
    picbuf.on("Change", None)
    picbuf.Init(24, 2, 2, 0)


@pytest.mark.parametrize(
    "action, number, message",
    [
        (lambda pb: pb.Gamma(5.0), 20306, "Control does not contain a Dib"),
        (lambda pb: pb.Init(24, 40000, 2, 0), 0x8002000A, None),  # a short overflows
        (lambda pb: setattr(pb, "FillColor", 1 << 70), 0x8002000A, None),  # and a long
        (lambda pb: pb.Init(3, 2, 2, 0), 20106, "The specified bit-depth is invalid"),
        (lambda pb: pb.Init(24, 2), 0x8002000F, "Argument not optional: nHeignt"),
        (lambda pb: setattr(pb, "Xresolution", 5), 383, "Property is read-only."),
        (lambda pb: pb.Assign(False, None, False), 20320, "The Control parameter is NULL"),
        (lambda pb: pixmill.Picbuf(design=True).ColorDepth, 394, "Property is write-only."),
        # Indexed properties take their index in brackets; no region exists to index yet.
        (lambda pb: pb.RegionEnabled[1], 20398, ""),
        (lambda pb: pb.RegionFillColor.__setitem__(1, 0), 20398, ""),
        (lambda pb: pixmill.Printer("out.png"), 0x80004005,
         "a printer is a file name ending in .pdf or cups:QUEUE, not 'out.png'"),
        (lambda pb: pixmill.Printer("cups:no-such-queue"), 0x80004005,
         "there is no printer queue named 'no-such-queue'"),
    ],
)
def test_failures_raise_error_with_number_and_message(picbuf, action, number, message):
    error = error_of(lambda: action(picbuf))
    assert isinstance(error, Exception) and error.number == number
    if message is not None:
        assert error.message == message
    shown = str(number) if number < 0x10000 else f"0x{number:08X}"
    assert str(error) == f"error {shown}: {error.message}"
    if 20000 <= number < 0x10000:  # the control's own numbers have listed messages
        assert pixmill.error_message(number) == error.message


def test_unknown_names_are_attribute_errors(picbuf):
    with pytest.raises(AttributeError):
        picbuf.NoSuchMember
    with pytest.raises(AttributeError):
        picbuf.NoSuchMember = 1
    assert not hasattr(picbuf, "Change")  # an event, not a member


def test_data_source_controls_and_handed_out_objects_have_their_own_members():
    source = pixmill.DataSource()
    assert "RecordSource" in dir(source) and "Gamma" not in dir(source)
    font = pixmill.Picbuf().Font
    assert type(font).__name__ != "Picbuf" and "Gamma" not in dir(font)


def test_one_picbuf_is_given_to_another(picbuf):
    source = pixmill.Picbuf()
    source.Init(24, 3, 3, ORANGE)
    picbuf.Assign(False, source, False)
    assert (picbuf.Xresolution, picbuf.GetColor(2, 2)) == (3, ORANGE)
    del source
    assert picbuf.GetColor(0, 0) == ORANGE


def test_a_file_is_stored_and_loaded(picbuf, tmp_path):
    picbuf.Init(24, 5, 4, BLUE)
    for name in ("out.bmp", "out.png", "out.tif"):
        picbuf.FileName = str(tmp_path / name)
        picbuf.Store()
        loaded = pixmill.Picbuf()
        loaded.FileName = picbuf.FileName
        loaded.Load()
        assert (loaded.Xresolution, loaded.Yresolution, loaded.GetColor(4, 3)) == (5, 4, BLUE), name


def test_a_control_whose_handler_holds_it_is_collected():
    picbuf = pixmill.Picbuf()

    def handler(control=picbuf):
        control.Xresolution

    gone = weakref.ref(handler)
    picbuf.on("Change", handler)
    del picbuf, handler
    gc.collect()
    assert gone() is None


@pytest.mark.parametrize(
    "returned, error",
    [("many", pixmill.Error), (1 << 40, pixmill.Error), (object(), TypeError)],
)
def test_a_value_a_handler_cannot_write_back_fails_the_call(picbuf, tmp_path, returned, error):
    picbuf.Init(24, 8, 40, 0)
    picbuf.FileName = str(tmp_path / "tall.png")
    picbuf.Store()
    picbuf.CallbackLines = 10
    picbuf.on("Callback", lambda lines: returned)
    with pytest.raises(error):
        picbuf.LoadCallback(picbuf)
