-- Demo city: intersections, groups, network and operators.
SET NAMES utf8mb4;
