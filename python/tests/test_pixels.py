"""Pixels to and from NumPy, checked against the control's own pixel members."""

import numpy as np
import pytest

import pixmill
from conftest import error_of


def bgr(red, green, blue):
    return red | green << 8 | blue << 16


@pytest.mark.parametrize("shape", [(1, 1, 3), (3, 5, 3), (17, 2, 3), (1, 1), (4, 7), (9, 3)])
def test_pixels_round_trip(picbuf, shape):
    pixels = np.random.default_rng(len(shape) * 100 + shape[0]).integers(0, 256, shape, np.uint8)
    picbuf.from_numpy(pixels)
    height, width = shape[:2]
    assert (picbuf.Yresolution, picbuf.Xresolution) == (height, width)
    assert picbuf.ColorDepth == (24 if len(shape) == 3 else 8)
    back = picbuf.to_numpy()
    assert back.dtype == np.uint8 and back.shape == shape
    np.testing.assert_array_equal(back, pixels)
    # Row 0 is the top row and colours are RGB, as the control's own members say.
    y, x = height - 1, width - 1
    if len(shape) == 3:
        assert picbuf.GetColor(x, y) == bgr(*(int(v) for v in pixels[y, x]))
    else:
        assert picbuf.GetPalIndex(x, y) == pixels[y, x]
        assert picbuf.GetColor(x, y) == bgr(*[int(pixels[y, x])] * 3)


def test_grey_images_carry_a_grey_ramp(picbuf):
    picbuf.from_numpy(np.zeros((2, 2), np.uint8))
    ramp = np.repeat(np.arange(256, dtype=np.uint8), 3).reshape(256, 3)
    np.testing.assert_array_equal(picbuf.palette(), ramp)


def test_palette_images_give_indices_and_their_table(picbuf):
    picbuf.Init(24, 8, 8, bgr(0, 0, 255))
    picbuf.PutScanLine(7, [bgr(255, 0, 0)] * 8)
    picbuf.ReduceColors(2, 1, 0, 0)
    indices, table = picbuf.to_numpy(), picbuf.palette()
    assert indices.shape == (8, 8) and table.shape == (2, 3) and picbuf.ColorDepth == 1
    assert indices[0, 0] != indices[7, 7]
    for y, x in [(0, 0), (7, 7)]:
        assert indices[y, x] == picbuf.GetPalIndex(x, y)
        assert bgr(*(int(v) for v in table[indices[y, x]])) == picbuf.GetColor(x, y)


def test_strided_views_are_read_as_shown(picbuf):
    pixels = np.arange(4 * 6 * 3, dtype=np.uint8).reshape(4, 6, 3)[:, ::2]
    picbuf.from_numpy(pixels)
    np.testing.assert_array_equal(picbuf.to_numpy(), pixels)


@pytest.mark.parametrize(
    "pixels, error",
    [
        (np.zeros((2, 2, 3), np.uint16), TypeError),
        (np.zeros((2, 2, 4), np.uint8), ValueError),
        (np.zeros(5, np.uint8), ValueError),
        (np.zeros((0, 3), np.uint8), pixmill.Error),
        (np.zeros((1, 40000), np.uint8), pixmill.Error),
    ],
)
def test_unusable_arrays_are_refused_and_the_image_kept(picbuf, pixels, error):
    picbuf.Init(24, 2, 1, bgr(1, 2, 3))
    with pytest.raises(error):
        picbuf.from_numpy(pixels)
    assert picbuf.to_numpy().tolist() == [[[1, 2, 3], [1, 2, 3]]]


def test_an_empty_control_has_no_pixels(picbuf):
    assert error_of(picbuf.to_numpy).number == 20306
    assert error_of(picbuf.palette).number == 20323
