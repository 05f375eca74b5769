"""python3 -m standin (with tools/ on the path) or python3 tools/standin."""
import sys
from pathlib import Path

if not __package__:
    # Run as a folder: make the package importable and keep this folder's
    # module names from shadowing the standard library.
    here = Path(__file__).resolve().parent
    sys.path[:] = [p for p in sys.path if Path(p or ".").resolve() != here]
    sys.path.insert(0, str(here.parent))
    from standin.cli import main
else:
    from .cli import main

sys.exit(main())
