import pytest

import pixmill


@pytest.fixture
def picbuf():
    return pixmill.Picbuf()


def error_of(action):
    """The pixmill.Error the action raises."""
    with pytest.raises(pixmill.Error) as raised:
        action()
    return raised.value
