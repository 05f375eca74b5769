"""A local stand-in for the maker's web service, content hosts, vehicle-data
server and self-update server, with a test certificate authority.

Test and development tooling of Kestrune, not part of the program.
"""
from .instance import StandIn, default_root, windows_path  # noqa: F401
